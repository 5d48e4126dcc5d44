#pragma once

#include <functional>
#include <mutex>
#include <stop_token>

#include "link/DeviceConnection.h"

namespace orsa::link {

// What a worker needs from the program that started it: a way to run a call on the window thread
// and wait for it, and the port choice of the moment. Workers never touch a window themselves.
class WorkerHost {
 public:
  virtual ~WorkerHost() = default;
  // Runs `call` on the window thread and returns once it has run. A host that is shutting down
  // returns at once without running it, so a worker never blocks an exiting program.
  virtual void synchronize(const std::function<void()>& call) = 0;
  // The same, except that a stop requested while the call still waits for the window thread
  // abandons it: it never runs, and this returns at once. Lets the window thread stop and join a
  // worker that may be waiting for it.
  virtual void synchronize(const std::function<void()>& call, std::stop_token stop) = 0;
  virtual PortChoice portChoice() = 0;
};

// For programs without a window thread (the command-line tool, tests): calls run on the worker's
// own thread, one at a time.
class DirectWorkerHost final : public WorkerHost {
 public:
  explicit DirectWorkerHost(PortChoice choice = {}) : choice_(std::move(choice)) {}

  void synchronize(const std::function<void()>& call) override {
    std::lock_guard lock(callLock_);
    call();
  }
  // Nothing ever waits here for another thread, so there is nothing to abandon.
  void synchronize(const std::function<void()>& call, std::stop_token /*stop*/) override { synchronize(call); }
  PortChoice portChoice() override {
    std::lock_guard lock(callLock_);
    return choice_;
  }
  void setPortChoice(PortChoice choice) {
    std::lock_guard lock(callLock_);
    choice_ = std::move(choice);
  }

 private:
  std::recursive_mutex callLock_;
  PortChoice choice_;
};

}  // namespace orsa::link
