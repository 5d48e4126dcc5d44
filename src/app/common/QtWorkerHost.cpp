#include "QtWorkerHost.h"

#include <QThread>

#include <chrono>
#include <memory>

namespace orsa::app {

// One call handed to the window thread.  `call` points into the waiting
// worker's frame, so it is touched only while that worker still waits.
struct QtWorkerHost::Request {
  enum class State { Pending, Running, Done, Abandoned };
  const std::function<void()>* call;
  State state = State::Pending;
};

QtWorkerHost::QtWorkerHost() = default;

QtWorkerHost::~QtWorkerHost() { shutdown(); }

void QtWorkerHost::synchronize(const std::function<void()>& call) { run(call, {}); }

void QtWorkerHost::synchronize(const std::function<void()>& call, std::stop_token stop) { run(call, stop); }

void QtWorkerHost::run(const std::function<void()>& call, const std::stop_token& stop) {
  if (QThread::currentThread() == context_.thread()) {
    if (!stop.stop_requested()) call();
    return;
  }
  auto request = std::make_shared<Request>();
  request->call = &call;
  {
    std::lock_guard guard(lock_);
    if (shutDown_) {
      return;
    }
  }
  QMetaObject::invokeMethod(
      &context_,
      [this, request] {
        {
          std::lock_guard guard(lock_);
          if (request->state != Request::State::Pending) {
            return;  // the worker gave up waiting: the window is closing
          }
          request->state = Request::State::Running;
        }
        // Released also when the call throws: the error is the window's to show, and the worker
        // must not wait for a call that will never finish.
        const auto release = [this, &request] {
          {
            std::lock_guard guard(lock_);
            request->state = Request::State::Done;
          }
          changed_.notify_all();
        };
        try {
          (*request->call)();
        } catch (...) {
          release();
          throw;
        }
        release();
      },
      Qt::QueuedConnection);

  // Takes the lock so the notification cannot fall between the test and the wait below.
  const std::stop_callback onStop(stop, [this] {
    { const std::lock_guard guard(lock_); }
    changed_.notify_all();
  });
  std::unique_lock guard(lock_);
  // A call already running (a message box, say) is waited for to its end even
  // when the window closes meanwhile: it refers to the worker's own state.
  // The time-out is only a safety net; shutdown(), a stop and the call's end notify.
  while (request->state != Request::State::Done) {
    if ((shutDown_ || stop.stop_requested()) && request->state == Request::State::Pending) {
      request->state = Request::State::Abandoned;
      return;
    }
    changed_.wait_for(guard, std::chrono::seconds(1));
  }
}

link::PortChoice QtWorkerHost::portChoice() {
  std::lock_guard guard(lock_);
  return choice_;
}

void QtWorkerHost::setPortChoice(link::PortChoice choice) {
  std::lock_guard guard(lock_);
  choice_ = std::move(choice);
}

void QtWorkerHost::shutdown() {
  {
    std::lock_guard guard(lock_);
    shutDown_ = true;
  }
  changed_.notify_all();
}

bool QtWorkerHost::isShutDown() const {
  std::lock_guard guard(lock_);
  return shutDown_;
}

}  // namespace orsa::app
