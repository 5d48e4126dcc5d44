#include "OperationSlot.h"

#include <QMetaObject>

namespace orsa::app {

OperationSlot::~OperationSlot() {
  requestStop();
  join();
}

std::optional<std::string> OperationSlot::start(std::unique_ptr<link::Worker> worker, std::function<void()> ended) {
  worker_ = std::move(worker);
  worker_->setFinishedHandler([this, ended = std::move(ended)] {
    QMetaObject::invokeMethod(
        &context_,
        [this, ended] {
          join();
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
