#include "ProgressMeter.h"

#include <QLocale>
#include <QProgressBar>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orsa::app {
namespace {

// The bar's range for totals an int cannot hold: tenths of a percent.
constexpr int kSteps = 1000;

}  // namespace

QString progressText(std::int64_t done, std::int64_t total, std::optional<double> bytesPerSecond) {
  const QLocale russian(QLocale::Russian);
  // Rounded down: 100 % means the last byte is confirmed, not that it nearly is.
  const std::int64_t percent = total > 0 ? std::clamp<std::int64_t>(done * 100 / total, 0, 100) : 100;
  QString text =
      QStringLiteral("%1 % · %2 из %3 байт")
          .arg(percent)
          .arg(russian.toString(static_cast<qlonglong>(done)), russian.toString(static_cast<qlonglong>(total)));
  if (bytesPerSecond && *bytesPerSecond > 0) {
    text += QStringLiteral(" · %1 КБ/с").arg(russian.toString(*bytesPerSecond / 1024.0, 'f', 1));
    if (done < total) {
      const auto left = static_cast<long long>(std::llround(static_cast<double>(total - done) / *bytesPerSecond));
      text += QStringLiteral(" · осталось %1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
    }
  }
  return text;
}

ProgressMeter::ProgressMeter(QProgressBar& bar) : bar_(bar) {
  // Empty and wordless until the first figures come.
  bar_.setValue(bar_.minimum());
  bar_.setTextVisible(false);
}

void ProgressMeter::describe(std::int64_t done, std::int64_t total) {
  if (done == 0 && lastDone_ > 0) {
    // A finished run puts its bar back to empty: "0 % · 0 из …" would read as a run that never began.
    clock_.invalidate();
    lastDone_ = 0;
    bar_.setTextVisible(false);
    return;
  }
  if (total != total_ || done < lastDone_) {
    clock_.invalidate();
    total_ = total;
  }
  lastDone_ = done;
  std::optional<double> rate;
  if (!clock_.isValid()) {
    if (done > 0) {
      clock_.start();
      firstDone_ = done;
    }
  } else if (const qint64 ms = clock_.elapsed(); ms > 0 && done > firstDone_) {
    rate = static_cast<double>(done - firstDone_) * 1000.0 / static_cast<double>(ms);
  }
  bar_.setFormat(progressText(done, total, rate));
  bar_.setTextVisible(true);
}

void ProgressMeter::show(std::int64_t done, std::int64_t total) {
  if (total <= 0) {
    bar_.setRange(0, 1);
    bar_.setValue(1);
  } else if (total <= std::numeric_limits<int>::max()) {
    bar_.setRange(0, static_cast<int>(total));
    bar_.setValue(static_cast<int>(std::clamp<std::int64_t>(done, 0, total)));
  } else {
    bar_.setRange(0, kSteps);
    bar_.setValue(static_cast<int>(std::clamp<std::int64_t>(done * kSteps / total, 0, kSteps)));
  }
  describe(done, total);
}

}  // namespace orsa::app
