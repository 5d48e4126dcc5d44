#include "OperationSlot.h"

#include <QMetaObject>

namespace orsa::app {

OperationSlot::~OperationSlot() {
  requestStop();
  join();
}

std::optional<std::string> OperationSlot::start(std::unique_ptr<link::Worker> worker, std::function<void()> ended) {
  return start(std::move(worker), [ended = std::move(ended)](const link::Worker*) {
    if (ended) ended();
  });
}

std::optional<std::string> OperationSlot::start(std::unique_ptr<link::Worker> worker,
                                                std::function<void(const link::Worker*)> ended) {
  worker_ = std::move(worker);
  const std::uint64_t started = ++generation_;
  worker_->setFinishedHandler([this, started, ended = std::move(ended)] {
    QMetaObject::invokeMethod(
        &context_,
        [this, started, ended] {
          // The slot may have been joined meanwhile and hold a newer operation, which is not
          // this one's to release (a new worker may even sit at the old one's address).
          std::unique_ptr<link::Worker> finished;
          if (generation_ == started && worker_) {
            worker_->join();
            finished = std::move(worker_);
          }
          if (ended) ended(finished.get());
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
