#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "service/ServiceThread.h"
#include "support/SimRig.h"

namespace orsa::service::test {

// What one service operation reported through its callbacks.
struct ServiceRun {
  std::vector<std::string> log;
  std::vector<std::pair<std::int32_t, std::string>> results;
  std::vector<std::pair<std::int32_t, std::int32_t>> progress;  // max, position
  bool reachedAim = false;
};

// The simulated beacon and the window's side of a service operation.
class ServiceRig {
 public:
  explicit ServiceRig(sim::FaultPlan faults = {}) : sim(std::move(faults)) {}

  ServiceRun run(std::int32_t mode, std::string phone = {}, UploadList upload = {}) {
    ServiceRun outcome;
    ServiceThread::Callbacks callbacks;
    callbacks.appendLog = [&](const std::string& line) { outcome.log.push_back(line); };
    callbacks.showResult = [&](const ServiceThread& t) { outcome.results.emplace_back(t.resultCode, t.messageText); };
    callbacks.showProgress = [&](const ServiceThread& t) {
      outcome.progress.emplace_back(t.progressMax, t.progressPosition);
    };
    ServiceThread worker(sim.link(), replyLock, callbacks);
    worker.mode = mode;
    worker.phoneNumber = std::move(phone);
    worker.fileList = std::move(upload.files);
    worker.totalSize = upload.totalSize;
    if (!worker.start()) {
      outcome.log.push_back(worker.refusalMessage());
      return outcome;
    }
    worker.join();
    outcome.reachedAim = worker.reachedAim();
    return outcome;
  }

  // Powers the modem and turns its echo off, as a technician does first; the trace starts empty after.
  void startModem() {
    run(ServiceThread::kModemOn);
    sim.beacon->clearTrace();
  }

  // The data of every modem pass-through frame, as text, in order.
  std::vector<std::string> modemFrames() const {
    std::vector<std::string> frames;
    for (const auto& f : sim.beacon->trace()) {
      if (f.type == static_cast<std::uint8_t>(link::CommandType::ModemData))
        frames.emplace_back(f.data.begin(), f.data.end());
    }
    return frames;
  }
  std::vector<std::uint8_t> frameTypes() const {
    std::vector<std::uint8_t> types;
    for (const auto& f : sim.beacon->trace()) types.push_back(f.type);
    return types;
  }

  orsa::testing::SimRig sim;
  std::mutex replyLock;
};

}  // namespace orsa::service::test
