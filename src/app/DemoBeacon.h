#pragma once

#include <QString>

#include <memory>

namespace orsa::app {

// The simulated beacon behind `--demo`: runs inside the program on a line of its own (a
// pseudo-terminal, a named pipe on Windows), at the real line rate, with an owner already configured.
class DemoBeacon {
 public:
  // Throws std::system_error when the line cannot be set up.
  DemoBeacon();
  ~DemoBeacon();

  QString portPath() const;

 private:
  struct Simulated;
  std::unique_ptr<Simulated> simulated_;
};

}  // namespace orsa::app
