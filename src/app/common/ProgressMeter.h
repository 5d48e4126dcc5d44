#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <optional>

class QProgressBar;

namespace orsa::app {

// A bar's words for a transfer, as orsactl's bar says them:
// "42 % · 27 648 из 65 536 байт · 0,9 КБ/с · осталось 0:41". The rate and the time left are left out
// until there is a rate to tell; nothing to transfer is all transferred.
QString progressText(std::int64_t done, std::int64_t total, std::optional<double> bytesPerSecond);

// What a progress bar says while bytes go to or come from the beacon. The rate is measured from the
// first figures of a run with something done: what comes before them is the operation's own
// preparation, which would make a small transfer look slow. A run ends when the total changes or
// the count goes back; back to nothing, the bar has no words until the next run's figures.
class ProgressMeter {
 public:
  explicit ProgressMeter(QProgressBar& bar);

  // The bar's text only; its range and value are the caller's.
  void describe(std::int64_t done, std::int64_t total);
  // The text, and the bar at `done` of `total`: the figures themselves when they fit the bar, else in
  // thousandths; an empty transfer shows a full bar, not an endless busy one.
  void show(std::int64_t done, std::int64_t total);
  QProgressBar& bar() const { return bar_; }

 private:
  QProgressBar& bar_;
  QElapsedTimer clock_;
  std::int64_t firstDone_ = 0;
  std::int64_t lastDone_ = 0;
  std::int64_t total_ = -1;
};

}  // namespace orsa::app
