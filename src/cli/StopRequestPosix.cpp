// SIGINT and SIGTERM are blocked in every thread and taken with sigtimedwait, so no handler runs
// at an awkward moment and the waiting thread alone decides what happens next. finish() wakes that
// thread with a signal of its own, the one thing sigtimedwait returns for besides a stop.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <ctime>

#include "cli/StopRequest.h"

namespace orsa::cli {

namespace {

constexpr int kFinishSignal = SIGUSR1;

}  // namespace

struct StopRequest::State {
  sigset_t signals{};
  sigset_t previous{};
  pthread_t waiter{};
  std::atomic<bool> finished{false};
};

StopRequest::StopRequest() : state_(std::make_unique<State>()) {
  sigemptyset(&state_->signals);
  sigaddset(&state_->signals, SIGINT);
  sigaddset(&state_->signals, SIGTERM);
  sigaddset(&state_->signals, kFinishSignal);
  state_->waiter = pthread_self();
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
    // Looked at before the signals: a finish() just before the wait left its signal pending, and
    // one during it is the signal that ends the wait.
    if (state_->finished.load()) return false;
    int taken = 0;
    if (limit) {
      const auto left = until - std::chrono::steady_clock::now();
      if (left <= std::chrono::steady_clock::duration::zero()) return false;
      const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
      const timespec slice{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
      taken = sigtimedwait(&state_->signals, nullptr, &slice);
    } else {
      taken = sigwaitinfo(&state_->signals, nullptr);
    }
    if (taken == SIGINT || taken == SIGTERM) return true;
    // Otherwise the finish signal, the time running out or another signal's handler (EINTR).
  }
}

void StopRequest::finish() {
  state_->finished.store(true);
  pthread_kill(state_->waiter, kFinishSignal);
}

}  // namespace orsa::cli
