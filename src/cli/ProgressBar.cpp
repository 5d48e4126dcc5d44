#include "cli/ProgressBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace orsa::cli {

namespace {

constexpr int kBarWidth = 30;

std::string formatBytes(double bytes) {
  char text[32];
  if (bytes >= 1024.0 * 1024.0) {
    std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024.0));
  } else if (bytes >= 1024.0) {
    std::snprintf(text, sizeof text, "%.1f KiB", bytes / 1024.0);
  } else {
    std::snprintf(text, sizeof text, "%.0f B", bytes);
  }
  return text;
}

}  // namespace

ProgressBar::ProgressBar(std::ostream& stream, bool enabled, std::string label, Unit unit)
    : stream_(stream), enabled_(enabled), label_(std::move(label)), unit_(unit) {}

std::string ProgressBar::render(const std::string& label, Unit unit, std::int64_t done, std::int64_t total,
                                std::chrono::duration<double> elapsed) {
  const double fraction =
      total > 0 ? std::clamp(static_cast<double>(done) / static_cast<double>(total), 0.0, 1.0) : 1.0;
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string line = label + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "]";
  char figures[128];
  std::snprintf(figures, sizeof figures, " %3d%%", static_cast<int>(fraction * 100.0));
  line += figures;
  if (unit == Unit::Steps) {
    std::snprintf(figures, sizeof figures, "  %lld/%lld", static_cast<long long>(done), static_cast<long long>(total));
    return line + figures;
  }
  line += "  " + formatBytes(static_cast<double>(done)) + " / " + formatBytes(static_cast<double>(total));
  const double seconds = elapsed.count();
  if (seconds > 0.2 && done > 0) {
    const double rate = static_cast<double>(done) / seconds;
    const long long left = std::llround(static_cast<double>(total - done) / rate);
    std::snprintf(figures, sizeof figures, "  %s/s  %lld:%02lld left", formatBytes(rate).c_str(), left / 60, left % 60);
    line += figures;
  }
  return line;
}

void ProgressBar::update(std::int64_t done, std::int64_t total) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!started_) {
    start_ = now;
    started_ = true;
  }
  // Pad so a shorter line fully covers the previous one.
  std::string line = render(label_, unit_, done, total, now - start_);
  stream_ << '\r' << line << std::string(8, ' ') << std::flush;
  drawn_ = true;
}

void ProgressBar::finish() {
  if (drawn_) stream_ << '\n' << std::flush;
  drawn_ = false;
}

}  // namespace orsa::cli
