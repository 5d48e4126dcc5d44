#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

#include "link/Clock.h"

namespace orsa::testing {

// A clock whose time moves only when the test lets it, for the channel and the workers on it.
//
// A sleep (an operation's pause) passes at once when it is the earliest thing anyone waits for:
// nothing but a stop could end it sooner, so its length only moves the time on. A wait on a
// condition (a reply) ends by its time-out only on the test's word (expireNextWait, advance, or
// passWaits once no answer can come): the clock cannot see bytes on their way through a line, and a
// reply still travelling must not lose to a time-out that has not come yet. A test thus runs a
// ten-second time-out in milliseconds and judges what ended each wait, not how long the machine took.
class TestClock final : public link::Clock {
 public:
  enum class Sleeps { PassAtOnce, OnCommand };
  // How far past a wait's deadline expireNextWait moves the time: a wait ends only once its time-out
  // has been exceeded.
  static constexpr Duration kPastDeadline{1};

  explicit TestClock(Sleeps sleeps = Sleeps::PassAtOnce) : sleeps_(sleeps) {}

  TimePoint now() const override {
    const std::lock_guard guard(mutex_);
    return now_;
  }

  bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& wake, TimePoint deadline,
                 const std::stop_token& stop, const std::function<bool()>& ready) override {
    if (ready()) return true;
    const auto waiter = std::make_shared<Waiter>(Waiter{deadline, false, {}});
    if (enrol(waiter)) {
      const std::stop_callback relay(stop, [&waiter] { waiter->timeUp.request_stop(); });
      settle();
      wake.wait(lock, waiter->timeUp.get_token(), ready);
    }
    const bool done = ready();
    leave(waiter, !done && !stop.stop_requested());
    return done;
  }

  bool sleepUntil(TimePoint deadline, const std::stop_token& stop) override {
    const auto waiter = std::make_shared<Waiter>(Waiter{deadline, true, {}});
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    if (enrol(waiter)) {
      const std::stop_callback relay(stop, [&waiter] { waiter->timeUp.request_stop(); });
      settle();
      wake.wait(lock, waiter->timeUp.get_token(), [] { return false; });
    }
    leave(waiter, false);
    return !stop.stop_requested();
  }

  // Moves the time on by `step`: every sleep it reaches and every wait it passes ends.
  void advance(Duration step) {
    std::vector<std::stop_source> due;
    {
      const std::lock_guard guard(mutex_);
      now_ += step;
      due = dueLocked();
    }
    for (auto& source : due) source.request_stop();
    settle();
  }

  // Waits, up to `limit` of real time, until a thread waits on a condition, then moves the time
  // just past that wait's deadline, so the wait ends by its time-out. False when no wait came.
  bool expireNextWait(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    std::vector<std::stop_source> due;
    {
      std::unique_lock guard(mutex_);
      if (!changed_.wait_for(guard, limit, [&] { return earliest(false).has_value(); })) return false;
      now_ = std::max(now_, *earliest(false) + kPastDeadline);
      due = dueLocked();
    }
    for (auto& source : due) source.request_stop();
    settle();
    return true;
  }

  // From now on (until called with false) a wait on a condition passes like a sleep when nothing
  // comes before it, ending by its time-out: for when the test knows that no answer is on its way.
  void passWaits(bool pass) {
    {
      const std::lock_guard guard(mutex_);
      waitsPass_ = pass;
    }
    settle();
  }

  // True once some thread waits or sleeps on this clock; false when none did within `limit`.
  bool waitForWaiter(std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
    std::unique_lock guard(mutex_);
    return changed_.wait_for(guard, limit, [&] { return !waiters_.empty(); });
  }

  // How many waits on a condition ended because their time ran out.
  std::size_t timeOuts() const {
    const std::lock_guard guard(mutex_);
    return timeOuts_;
  }

 private:
  struct Waiter {
    TimePoint deadline;
    bool sleep;
    std::stop_source timeUp;  // requested when the time reaches the deadline (or the caller stops)
  };

  // False when the waiter's time is already up.
  bool enrol(const std::shared_ptr<Waiter>& waiter) {
    const std::lock_guard guard(mutex_);
    if (isDue(*waiter)) return false;
    waiters_.push_back(waiter);
    changed_.notify_all();
    return true;
  }

  void leave(const std::shared_ptr<Waiter>& waiter, bool timedOut) {
    {
      const std::lock_guard guard(mutex_);
      std::erase(waiters_, waiter);
      if (timedOut) ++timeOuts_;
      changed_.notify_all();
    }
    settle();
  }

  // Lets the earliest sleep pass when nothing anyone waits for comes before it, and the earliest
  // wait when waits pass.
  void settle() {
    std::vector<std::stop_source> due;
    {
      const std::lock_guard guard(mutex_);
      const auto wait = earliest(false);
      const auto sleep = sleeps_ == Sleeps::PassAtOnce ? earliest(true) : std::nullopt;
      if (waitsPass_ && wait && (!sleep || *wait < *sleep)) {
        now_ = std::max(now_, *wait + kPastDeadline);
      } else if (sleep && (!wait || *sleep <= *wait)) {
        now_ = std::max(now_, *sleep);
      } else {
        return;
      }
      due = dueLocked();
    }
    for (auto& source : due) source.request_stop();
  }

  bool isDue(const Waiter& waiter) const { return waiter.sleep ? now_ >= waiter.deadline : now_ > waiter.deadline; }

  std::vector<std::stop_source> dueLocked() const {
    std::vector<std::stop_source> due;
    for (const auto& waiter : waiters_) {
      if (isDue(*waiter)) due.push_back(waiter->timeUp);
    }
    return due;
  }

  std::optional<TimePoint> earliest(bool sleep) const {
    std::optional<TimePoint> first;
    for (const auto& waiter : waiters_) {
      if (waiter->sleep == sleep && (!first || waiter->deadline < *first)) first = waiter->deadline;
    }
    return first;
  }

  const Sleeps sleeps_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;  // a waiter came or left
  TimePoint now_{};
  std::vector<std::shared_ptr<Waiter>> waiters_;
  std::size_t timeOuts_ = 0;
  bool waitsPass_ = false;
};

}  // namespace orsa::testing
