#pragma once

#include <QString>

#include <memory>

namespace orsa::app {

// The simulated beacon behind `--demo`: runs inside the program on a
// pseudo-terminal, at the real line rate, with an owner already configured.
class DemoBeacon {
 public:
  // Throws std::system_error when no pseudo-terminal can be had (always on Windows).
  DemoBeacon();
  ~DemoBeacon();

  QString portPath() const;

 private:
  struct Simulated;
  std::unique_ptr<Simulated> simulated_;
};

}  // namespace orsa::app
