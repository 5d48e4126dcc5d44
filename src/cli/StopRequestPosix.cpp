// SIGINT and SIGTERM are blocked in every thread and taken with sigtimedwait, so no handler runs
// at an awkward moment and the waiting thread alone decides what happens next.
#include <signal.h>

#include <ctime>

#include "cli/StopRequest.h"

namespace orsa::cli {

struct StopRequest::State {
  sigset_t signals{};
  sigset_t previous{};
};

StopRequest::StopRequest() : state_(std::make_unique<State>()) {
  sigemptyset(&state_->signals);
  sigaddset(&state_->signals, SIGINT);
  sigaddset(&state_->signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &state_->signals, &state_->previous);
}

StopRequest::~StopRequest() {
  // One that came in after the wait is taken here rather than left to kill the process now.
  const timespec none{};
  while (sigtimedwait(&state_->signals, nullptr, &none) > 0) {
  }
  pthread_sigmask(SIG_SETMASK, &state_->previous, nullptr);
}

bool StopRequest::wait(std::optional<std::chrono::seconds> limit) {
  const auto until = std::chrono::steady_clock::now() + limit.value_or(std::chrono::seconds(0));
  for (;;) {
    timespec slice{1, 0};
    if (limit) {
      const auto left = until - std::chrono::steady_clock::now();
      if (left <= std::chrono::steady_clock::duration::zero()) return false;
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
      slice = {static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    }
    if (sigtimedwait(&state_->signals, nullptr, &slice) > 0) return true;
  }
}

}  // namespace orsa::cli
