// SIGINT and SIGTERM are blocked in every thread and taken with sigtimedwait, so no handler runs
// at an awkward moment and the waiting threads alone decide what happens next. A stop is the whole
// process's: the thread that takes the signal counts it and wakes every other live request with a
// signal of its own (the one finish() sends too), so a line of beacons stops on every port, not on
// whichever thread the kernel picked. A stop taken when nobody waited (by a destructor) is counted
// as well and ends the thread's next wait, so a Ctrl-C between two phases of a command is not lost.
#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <mutex>
#include <vector>

#include "cli/StopRequest.h"

namespace orsa::cli {

namespace {

constexpr int kWakeSignal = SIGUSR1;

}  // namespace

struct StopRequest::State {
  sigset_t signals{};
  sigset_t previous{};
  pthread_t waiter{};
  std::atomic<bool> finished{false};
};

namespace {

std::mutex liveLock;
std::vector<pthread_t> liveWaiters;  // each live request's thread, under liveLock
std::atomic<unsigned> stopsTaken{0};
thread_local unsigned stopsSeen = 0;

// Counts a stop and wakes every live request but the taker's own thread.
void takeStop() {
  const std::lock_guard guard(liveLock);
  ++stopsTaken;
  for (const pthread_t waiter : liveWaiters) {
    if (!pthread_equal(waiter, pthread_self())) pthread_kill(waiter, kWakeSignal);
  }
}

bool isStop(int signal) { return signal == SIGINT || signal == SIGTERM; }

}  // namespace

StopRequest::StopRequest() : state_(std::make_unique<State>()) {
  sigemptyset(&state_->signals);
  sigaddset(&state_->signals, SIGINT);
  sigaddset(&state_->signals, SIGTERM);
  sigaddset(&state_->signals, kWakeSignal);
  state_->waiter = pthread_self();
  pthread_sigmask(SIG_BLOCK, &state_->signals, &state_->previous);
  const std::lock_guard guard(liveLock);
  liveWaiters.push_back(state_->waiter);
}

StopRequest::~StopRequest() {
  {
    // Out of the list first: a wake sent before this is pending by now and drained below.
    const std::lock_guard guard(liveLock);
    liveWaiters.erase(std::find_if(liveWaiters.begin(), liveWaiters.end(),
                                   [](pthread_t waiter) { return pthread_equal(waiter, pthread_self()); }));
  }
  const timespec none{};
  for (int taken; (taken = sigtimedwait(&state_->signals, nullptr, &none)) > 0;) {
    if (isStop(taken)) takeStop();
  }
  pthread_sigmask(SIG_SETMASK, &state_->previous, nullptr);
}

bool StopRequest::wait(std::optional<std::chrono::milliseconds> limit) {
  const auto until = std::chrono::steady_clock::now() + limit.value_or(std::chrono::milliseconds(0));
  for (;;) {
    // Looked at before the signals: a finish() or a stop just before the wait left its signal
    // pending, and one during it is the signal that ends the wait.
    if (state_->finished.load()) return false;
    if (const unsigned taken = stopsTaken.load(); taken != stopsSeen) {
      stopsSeen = taken;
      return true;
    }
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
    if (isStop(taken)) takeStop();
    // Otherwise a wake, the time running out or another signal's handler (EINTR): looked at above.
  }
}

void StopRequest::finish() {
  state_->finished.store(true);
  pthread_kill(state_->waiter, kWakeSignal);
}

}  // namespace orsa::cli
