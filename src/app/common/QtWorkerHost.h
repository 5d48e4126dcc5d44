#pragma once

#include "link/WorkerHost.h"

#include <QObject>

#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace orsa::app {

// Runs worker callbacks on the window thread and waits for them.  Once the
// window is closing, `shutdown` releases every waiting worker and later
// calls return at once, so a worker can never hold up the exit.
class QtWorkerHost final : public link::WorkerHost {
 public:
  // Lives on (and posts to) the thread that creates it: the window thread.
  QtWorkerHost();
  ~QtWorkerHost() override;

  void synchronize(const std::function<void()>& call) override;
  void synchronize(const std::function<void()>& call, std::stop_token stop) override;
  link::PortChoice portChoice() override;

  // Kept current by the window from the port panel's controls; workers only read it.
  void setPortChoice(link::PortChoice choice);
  void shutdown();
  bool isShutDown() const;

 private:
  struct Request;
  // An empty token is never stopped: the plain synchronize.
  void run(const std::function<void()>& call, const std::stop_token& stop);

  QObject context_;
  mutable std::mutex lock_;
  std::condition_variable changed_;
  bool shutDown_ = false;
  link::PortChoice choice_;
};

}  // namespace orsa::app
