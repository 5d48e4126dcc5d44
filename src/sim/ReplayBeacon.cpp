#include "sim/ReplayBeacon.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <deque>
#include <system_error>

namespace orsa::sim {

namespace {

using Clock = std::chrono::steady_clock;

timespec timespecUntil(Clock::time_point deadline, Clock::time_point now) {
  const auto ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(deadline - now, Clock::duration::zero()));
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(ns.count() / 1'000'000'000);
  ts.tv_nsec = static_cast<long>(ns.count() % 1'000'000'000);
  return ts;
}

}  // namespace

ReplayBeacon::ReplayBeacon(std::vector<RecordedExchange> exchanges, Report report)
    : portPath_(pty_.slavePath()), replay_(std::move(exchanges)), report_(std::move(report)) {
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  server_ = std::jthread([this](const std::stop_token& stop) { serve(stop); });
}

ReplayBeacon::~ReplayBeacon() {
  server_.request_stop();
  if (server_.joinable()) server_.join();
  ::close(wakeFd_);
}

void ReplayBeacon::wake() const {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto n = ::write(wakeFd_, &one, sizeof one);
}

void ReplayBeacon::serve(const std::stop_token& stop) {
  const std::stop_callback onStop(stop, [this] { wake(); });
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
      const long written = pty_.writeSome(std::span(bytes).subspan(frontSent));
      if (written < 0) {
        report_("the pseudo-terminal failed; the replay ends");
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
    pollfd fds[2] = {{wakeFd_, POLLIN, 0},
                     {pty_.masterFd(), static_cast<short>(POLLIN | (waitWritable ? POLLOUT : 0)), 0}};
    const timespec timeout = timespecUntil(deadline, now);
    if (::ppoll(fds, 2, deadline == Clock::time_point::max() ? nullptr : &timeout, nullptr) < 0) continue;  // EINTR
    if ((fds[0].revents & POLLIN) != 0) {
      std::uint64_t value = 0;
      [[maybe_unused]] const auto n = ::read(wakeFd_, &value, sizeof value);
    }
    if ((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      const long n = pty_.readSome(buffer);
      // The endpoint's own slave keeps a client that closes the port from causing this.
      if (n < 0 || (n == 0 && (fds[1].revents & (POLLHUP | POLLERR)) != 0)) {
        report_("the pseudo-terminal failed; the replay ends");
        return;
      }
      replay_.receive(std::span(buffer).first(static_cast<std::size_t>(n)), Clock::now(), outputs, reports);
      for (const auto& text : reports) report_(text);
      reports.clear();
    }
  }
}

}  // namespace orsa::sim
