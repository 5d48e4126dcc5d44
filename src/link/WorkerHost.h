#pragma once

#include <functional>
#include <mutex>

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
