#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "service/ServiceThread.h"
#include "support/Frames.h"
#include "support/SimRig.h"

namespace orsa::service::test {

// What one service operation reported through its callbacks.
struct ServiceRun {
  std::vector<std::string> log;
  std::vector<std::pair<std::int32_t, std::string>> results;
  std::vector<std::pair<std::int32_t, std::int32_t>> progress;  // max, position
  bool reachedAim = false;
};

// The line between the program and the beacon: as fast as the pseudo-terminal goes, or the
// beacon's real 9600 baud, where every answer trickles in a byte at a time.
enum class Line { FullSpeed, At9600 };

inline std::string lineName(const ::testing::TestParamInfo<Line>& info) {
  return info.param == Line::At9600 ? "At9600" : "FullSpeed";
}

// The simulated beacon and the window's side of a service operation.
class ServiceRig {
 public:
  explicit ServiceRig(Line line = Line::FullSpeed) : sim(plan(line)), line_(line) {}
  // The operations' pauses and time-outs on the test's clock.
  explicit ServiceRig(link::Clock& clock, Line line = Line::FullSpeed) : sim(plan(line), clock), line_(line) {}

  // A fault plan on this rig's line; add the faults to it.
  sim::FaultPlan faults() const { return plan(line_); }
  void setFaults(sim::FaultPlan faults) { sim.beacon->setFaults(std::move(faults)); }

  // Runs one operation to its end. `whileRunning` is called on this thread once it started; it must
  // not read the outcome, which the worker is still writing.
  ServiceRun run(std::int32_t mode, std::string phone = {}, UploadList upload = {},
                 const std::function<void(ServiceThread&)>& whileRunning = {}) {
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
    if (whileRunning) whileRunning(worker);
    worker.join();
    outcome.reachedAim = worker.reachedAim();
    lastInfo = worker.modemInfo;
    return outcome;
  }

  // Powers the modem as a technician does first, then gives it its echo back: a real modem echoes
  // until told otherwise, and every operation must cope with that. The trace starts empty after.
  void startModem() {
    run(ServiceThread::kModemOn);
    sim.beacon->withGsmModem([](sim::GsmModemModel& m) {
      const std::string echoOn = "ATE1\r";
      return m.onData(std::span(reinterpret_cast<const std::uint8_t*>(echoOn.data()), echoOn.size()));
    });
    sim.beacon->clearTrace();
  }

  // The data of every modem pass-through frame, as text, in order.
  std::vector<std::string> modemFrames() const {
    return orsa::testing::textOfType(sim.beacon->trace(), static_cast<std::uint8_t>(link::CommandType::ModemData));
  }
  std::vector<std::uint8_t> frameTypes() const {
    std::vector<std::uint8_t> types;
    for (const auto& f : sim.beacon->trace()) types.push_back(f.type);
    return types;
  }

  orsa::testing::SimRig sim;
  std::mutex replyLock;
  std::vector<ModemInfoItem> lastInfo;

 private:
  static sim::FaultPlan plan(Line line) {
    sim::FaultPlan faults;
    if (line == Line::At9600) faults.throttle(9600);
    return faults;
  }
  Line line_;
};

}  // namespace orsa::service::test
