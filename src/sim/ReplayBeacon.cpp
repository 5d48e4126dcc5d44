#include "sim/ReplayBeacon.h"

#include <algorithm>
#include <array>
#include <deque>
#include <optional>

namespace orsa::sim {

namespace {
using Clock = std::chrono::steady_clock;
}  // namespace

ReplayBeacon::ReplayBeacon(std::vector<RecordedExchange> exchanges, Report report)
    : portPath_(line_.portPath()), replay_(std::move(exchanges)), report_(std::move(report)) {
  server_ = std::jthread([this](const std::stop_token& stop) { serve(stop); });
}

ReplayBeacon::~ReplayBeacon() {
  server_.request_stop();
  if (server_.joinable()) server_.join();
}

void ReplayBeacon::serve(const std::stop_token& stop) {
  const std::stop_callback onStop(stop, [this] { line_.wake(); });
  std::deque<SessionReplay::Output> outputs;
  std::size_t frontSent = 0;  // of outputs.front()
  std::vector<std::string> reports;
  std::array<std::uint8_t, 4096> buffer{};

  while (!stop.stop_requested()) {
    const Clock::time_point now = Clock::now();
    // Due answers in the recorded order; a client that does not read holds them back.
    bool waitWritable = false;
    while (!outputs.empty() && outputs.front().due <= now) {
      const auto& bytes = outputs.front().bytes;
      const long written = line_.writeSome(std::span(bytes).subspan(frontSent));
      if (written < 0) {
        report_("the line failed; the replay ends");
        return;
      }
      frontSent += static_cast<std::size_t>(written);
      if (frontSent < bytes.size()) {
        waitWritable = true;
        break;
      }
      outputs.pop_front();
      frontSent = 0;
    }
    if (const std::string text = replay_.idle(now); !text.empty()) report_(text);

    Clock::time_point deadline = replay_.nextCheck();
    if (!outputs.empty() && !waitWritable) deadline = std::min(deadline, outputs.front().due);
    line_.wait(waitWritable, deadline == Clock::time_point::max() ? std::nullopt : std::optional(deadline));
    const long n = line_.readSome(buffer);
    if (n < 0) {
      report_("the line failed; the replay ends");
      return;
    }
    if (n > 0) {
      replay_.receive(std::span(buffer).first(static_cast<std::size_t>(n)), Clock::now(), outputs, reports);
      for (const auto& text : reports) report_(text);
      reports.clear();
    }
  }
}

}  // namespace orsa::sim
