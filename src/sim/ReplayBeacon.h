#pragma once

#include <functional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "sim/LineEndpoint.h"
#include "sim/SessionReplay.h"

namespace orsa::sim {

// A recorded beacon on a line of its own (see LineEndpoint): answers the program as the recording did (see
// SessionReplay) from a thread of its own, until destruction. Reports of where the program left the recording go to
// `report`, called on that thread.
class ReplayBeacon {
 public:
  using Report = std::function<void(const std::string&)>;

  // Throws std::system_error when the line cannot be set up.
  ReplayBeacon(std::vector<RecordedExchange> exchanges, Report report);
  ~ReplayBeacon();
  ReplayBeacon(const ReplayBeacon&) = delete;
  ReplayBeacon& operator=(const ReplayBeacon&) = delete;

  const std::string& portPath() const { return portPath_; }

 private:
  void serve(const std::stop_token& stop);

  LineEndpoint line_;  // the serving thread's alone once it runs (wake() is anyone's)
  const std::string portPath_;
  SessionReplay replay_;
  Report report_;
  std::jthread server_;  // last: started after everything else exists, stopped first
};

}  // namespace orsa::sim
