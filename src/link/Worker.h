#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "link/ChannelGate.h"
#include "link/SerialChannel.h"
#include "link/SerialPortMap.h"
#include "link/WorkerHost.h"

namespace orsa::link {

// Everything an operation works with, owned by the program (the main window or the tool).
struct DeviceLink {
  SerialChannel& channel;
  const SerialPortMap& portMap;
  ChannelGate& gate;
  WorkerHost& host;
};

enum ResultCode : std::int32_t {
  kResultNone = 0,
  kResultSuccess = 3,
  kResultFailure = 4,
};

inline constexpr const char* kNotConnectedMessage = "Устройство не подключено";

// Base of every background operation: one thread that claims the channel for the whole run,
// plain fields for the outcome, and calls into the window thread through the host.
// A derived class must call stopAndJoin() in its destructor, so that its own members outlive
// the thread that uses them.
class Worker {
 public:
  Worker(DeviceLink link, std::string operationName);
  virtual ~Worker();

  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Starts the thread unless another operation holds the channel; then false, and
  // refusalMessage() says which operation it is.
  bool start();
  const std::string& refusalMessage() const { return refusal_; }
  // Runs on the worker's thread as its very last act, after the channel was released.
  void setFinishedHandler(std::function<void()> handler) { finishedHandler_ = std::move(handler); }

  // Asks the operation to end early: pauses and waits return at once and no frame follows.
  void requestStop();
  void join();
  void stopAndJoin();
  bool finished() const { return finished_.load(); }
  const std::string& operationName() const { return operationName_; }

  std::int32_t resultCode = kResultNone;
  std::string messageText;
  std::int32_t progressMax = 0;
  std::int32_t progressPosition = 0;

 protected:
  virtual void run() = 0;

  bool connectDevice();
  // Runs `call` on the window thread and waits for it. A call still waiting when a stop comes is
  // abandoned, so the window thread may stop and join a worker that waits for it.
  void synchronize(const std::function<void()>& call) { link_.host.synchronize(call, stop_.get_token()); }
  // Sleeps unless the operation is being stopped; false when it was.
  bool pause(std::chrono::milliseconds duration);
  // The time on the channel's clock, which times the pauses and the waits: deadlines an operation
  // sets itself are taken from it too.
  Clock::TimePoint now() const { return link_.channel.clock().now(); }
  bool waitForBytes(std::uint32_t count, std::int32_t timeoutMs);
  // True once a whole `gap` passed with nothing received, within `limit`; what arrived meanwhile is
  // dropped. For a device's answers that no value tells apart: the answer to the next frame can be
  // told only once the late ones have stopped. A stop ends it (false) unless `closing` (see
  // sendClosingFrame); so does the line's loss.
  bool lineFellQuiet(std::chrono::milliseconds gap, std::chrono::milliseconds limit, bool closing = false);
  bool stopRequested() const { return stop_.stop_requested(); }

  // Every frame an operation sends goes through these: once a stop was requested nothing more
  // reaches the beacon and they return false; otherwise they return what the channel did.
  bool sendCommand(std::uint8_t type, std::uint32_t parameter, std::uint32_t length = 0, const void* data = nullptr);
  bool sendCommand(CommandType type, std::uint32_t parameter, std::uint32_t length = 0, const void* data = nullptr) {
    return sendCommand(static_cast<std::uint8_t>(type), parameter, length, data);
  }
  bool writeRaw(const std::uint8_t* bytes, std::size_t count);
  // After a stop, the one frame that brings the device back to a known state (the rest of a write
  // it was promised, the key that leaves an input mode) and the wait for its answer: neither is cut
  // short by the stop. The line's loss and the time-out still end the wait.
  bool sendClosingFrame(CommandType type, std::uint32_t parameter, std::uint32_t length, const void* data) {
    return link_.channel.sendCommand(type, parameter, length, data);
  }
  bool waitForClosingAnswer(std::uint32_t count, std::int32_t timeoutMs) {
    return link_.channel.waitForBytes(count, timeoutMs);
  }
  // Runs `call` on the window thread and waits for it, as synchronize does, except that once a stop
  // was requested the call still runs: it reports what the stop left behind. Only for a stop the
  // window asked for without waiting on the worker: the host's shutdown at the program's end still
  // releases the wait.
  void report(const std::function<void()>& call) {
    if (stopRequested()) {
      link_.host.synchronize(call);
    } else {
      synchronize(call);
    }
  }
  void closeChannel() { link_.channel.close(); }
  // Everything received since the last send or take, and an empty receive buffer, in one step.
  std::vector<std::uint8_t> takeReceived() { return link_.channel.takeReceived(); }
  // Read-only on purpose: sending past the checks above would defeat the stop.
  const SerialChannel& channel() const { return link_.channel; }

 private:
  void threadMain();

  DeviceLink link_;
  std::string operationName_;
  std::string refusal_;
  std::optional<ChannelGate::Claim> claim_;
  std::function<void()> finishedHandler_;
  std::atomic<bool> finished_{false};
  // Separate from the thread object, which is still being assigned when the thread starts.
  std::stop_source stop_;
  std::thread thread_;
};

}  // namespace orsa::link
