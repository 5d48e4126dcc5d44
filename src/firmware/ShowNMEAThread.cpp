#include "firmware/ShowNMEAThread.h"

#include <algorithm>
#include <string>

namespace orsa::firmware {

ShowNMEAThread::ShowNMEAThread(link::DeviceLink link, Callbacks callbacks)
    : Worker(link, "трансляция NMEA потока"), callbacks_(std::move(callbacks)) {}

void ShowNMEAThread::run() {
  const auto endNotConnected = [this] {
    resultCode = link::kResultFailure;
    messageText = link::kNotConnectedMessage;
    if (callbacks_.showResult) synchronize([this] { callbacks_.showResult(*this); });
    closeChannel();
  };
  // The connect keeps what is already in the receive buffer: the first drain shows it.
  if (!connectDevice()) {
    endNotConnected();
    return;
  }
  std::string stream;
  // An unplugged beacon ends the relay after the drain that shows its last bytes, with the same
  // warning as a beacon that was never there, instead of relaying silence until the user stops it.
  for (bool lost = false; !lost && pause(kDrainPeriod);) {
    lost = channel().lineLost();
    synchronize([this, &stream] {
      // A stop that came before this ran on the window thread: nothing is taken after it.
      if (stopRequested()) return;
      const std::vector<std::uint8_t> bytes = takeReceived();
      stream.clear();
      std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(stream), [](std::uint8_t b) { return b != 0; });
      if (callbacks_.drain) callbacks_.drain(stream);
    });
    if (lost && !stopRequested()) endNotConnected();
  }
}

}  // namespace orsa::firmware
