#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/Worker.h"

namespace orsa::app {

// The window's reference to the running operation of one kind (the settings exchange, the
// firmware update): set while it runs, which keeps a second start of that kind out. A worker's
// thread cannot release its own object, so the release is posted to the window thread and happens
// once the thread has nothing left to do.
class OperationSlot {
 public:
  explicit OperationSlot(QObject& context) : context_(context) {}
  ~OperationSlot();

  OperationSlot(const OperationSlot&) = delete;
  OperationSlot& operator=(const OperationSlot&) = delete;

  bool busy() const { return worker_ != nullptr; }

  // Starts `worker`; `ended` runs on the window thread after it was released. When another
  // operation holds the channel nothing starts, and the refusal text is returned.
  std::optional<std::string> start(std::unique_ptr<link::Worker> worker, std::function<void()> ended = {});
  // The same, with `ended` given the finished worker to read its outcome from (the slot is free
  // again already, so `ended` may start the next operation). Null when the slot was joined before
  // the finish came through: the window was closing.
  std::optional<std::string> start(std::unique_ptr<link::Worker> worker,
                                   std::function<void(const link::Worker* finished)> ended);

  // Asks a running operation to end now (the window is closing).
  void requestStop();
  // Waits for the operation's thread and releases it.
  void join();

 private:
  QObject& context_;
  std::unique_ptr<link::Worker> worker_;
  std::uint64_t generation_ = 0;  // counts starts; tells a finished run from the one now held
};

}  // namespace orsa::app
