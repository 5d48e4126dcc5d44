#pragma once

#include <chrono>
#include <functional>
#include <string_view>

#include "link/Worker.h"

namespace orsa::firmware {

// Relays the GNSS module's output as the beacon passes it on: connects, then once a second hands
// everything that arrived to the window thread. It sends nothing and parses nothing.
class ShowNMEAThread final : public link::Worker {
 public:
  static constexpr std::chrono::milliseconds kDrainPeriod{1000};

  struct Callbacks {
    // On the window thread, once a second: every byte of that second as it came, except zero
    // bytes, which the module never sends in NMEA and a text control cannot hold.
    std::function<void(std::string_view stream)> drain;
    // Warning box with messageText: the beacon is missing, or went away while relaying (after the
    // drain of its last bytes). The relay has ended.
    std::function<void(const ShowNMEAThread&)> showResult;
  };

  ShowNMEAThread(link::DeviceLink link, Callbacks callbacks);
  ~ShowNMEAThread() override { stopAndJoin(); }

 protected:
  void run() override;

 private:
  Callbacks callbacks_;
};

}  // namespace orsa::firmware
