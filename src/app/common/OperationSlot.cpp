#include "OperationSlot.h"

#include <QMetaObject>

namespace orsa::app {

OperationSlot::~OperationSlot() {
  requestStop();
  join();
}

std::optional<std::string> OperationSlot::start(std::unique_ptr<link::Worker> worker, std::function<void()> ended) {
  worker_ = std::move(worker);
  const std::uint64_t started = ++generation_;
  worker_->setFinishedHandler([this, started, ended = std::move(ended)] {
    QMetaObject::invokeMethod(
        &context_,
        [this, started, ended] {
          // The slot may have been joined meanwhile and hold a newer operation, which is not
          // this one's to release (a new worker may even sit at the old one's address).
          if (generation_ == started) join();
          if (ended) ended();
        },
        Qt::QueuedConnection);
  });
  if (worker_->start()) return std::nullopt;
  std::string refusal = worker_->refusalMessage();
  worker_.reset();
  return refusal;
}

void OperationSlot::requestStop() {
  if (worker_) worker_->requestStop();
}

void OperationSlot::join() {
  if (worker_) {
    worker_->join();
    worker_.reset();
  }
}

}  // namespace orsa::app
