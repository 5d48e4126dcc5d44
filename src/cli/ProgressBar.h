#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace orsa::cli {

// One redrawn line on a terminal: bar, percent, and for byte counts the rate and time left.
// Nothing is drawn when the stream is not a terminal, so logs and pipes stay clean.
class ProgressBar {
 public:
  enum class Unit { Steps, Bytes };

  ProgressBar(std::ostream& stream, bool enabled, std::string label, Unit unit = Unit::Steps);
  ~ProgressBar() { finish(); }

  void update(std::int64_t done, std::int64_t total);
  // Ends the line; called again it does nothing.
  void finish();

  // The line as drawn for the given figures; `elapsed` is the time since the first update.
  static std::string render(const std::string& label, Unit unit, std::int64_t done, std::int64_t total,
                            std::chrono::duration<double> elapsed);

 private:
  std::ostream& stream_;
  bool enabled_;
  bool drawn_ = false;
  std::string label_;
  Unit unit_;
  std::chrono::steady_clock::time_point start_{};
  bool started_ = false;
};

}  // namespace orsa::cli
