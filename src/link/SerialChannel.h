#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "link/Clock.h"
#include "link/CommandFrame.h"
#include "link/SerialPort.h"

namespace orsa::link {

// The one link to the beacon: an open port, a reader thread collecting every incoming byte into
// the receive buffer, a writer thread sending one block at a time, and the lock that guards the
// buffer. It moves bytes and counts what arrived since the last send; it knows nothing of replies.
class SerialChannel {
 public:
  static constexpr std::size_t kBufferSize = 4096;
  static constexpr std::size_t kFrameAreaSize = CommandFrame::kMaxSize;  // 2509

  enum class Direction { Sent, Received };
  using TraceSink = std::function<void(Direction, std::span<const std::uint8_t>)>;
  using PortOpener = std::function<OpenResult(const std::string& portName)>;

  SerialChannel();
  explicit SerialChannel(PortOpener opener);
  // `clock` times the reply waits, and the pauses of the operations that use this channel.
  SerialChannel(PortOpener opener, Clock& clock);
  ~SerialChannel();

  SerialChannel(const SerialChannel&) = delete;
  SerialChannel& operator=(const SerialChannel&) = delete;

  bool open(const std::string& portName);
  // Lets a write in progress finish, stops both threads and releases the port. Harmless when closed.
  void close();
  bool isOpen() const;
  // Why the last open failed, in one line for the user.
  std::string lastError() const;
  // For a failure found before any open was tried (no port to choose).
  void setOpenFailure(std::string reason);
  // True once the device went away (hang-up, unplug, I/O error) since the last open; waits then end
  // at once, as nothing more can arrive. A read that merely finds nothing is not a loss.
  bool lineLost() const { return lineLost_.load(); }

  void resetReceive();
  // Discards the driver's queues, empties the receive buffer and hands the bytes to the writer.
  // More than the transmit buffer holds is refused (false) before anything is touched.
  bool writeRaw(const std::uint8_t* bytes, std::size_t count);
  // Builds the frame in the frame area and sends it; a length above 2500 is refused (false).
  bool sendCommand(std::uint8_t type, std::uint32_t parameter, std::uint32_t length, const void* data);
  bool sendCommand(CommandType type, std::uint32_t parameter, std::uint32_t length = 0, const void* data = nullptr) {
    return sendCommand(static_cast<std::uint8_t>(type), parameter, length, data);
  }
  // True once `count` bytes arrived since the last send. The count is tested before the clock, so
  // bytes there at the time-out still count; false only after more than `timeoutMs` passed, or
  // earlier when `stop` is requested (the operation is being abandoned) or the line is lost (an
  // unplugged beacon ends the operation with its message at once, not after the time-out).
  bool waitForBytes(std::uint32_t count, std::int32_t timeoutMs, const std::stop_token& stop = {});
  std::uint32_t receivedCount() const;
  Clock& clock() const { return clock_; }

  // Copies of the reply, taken under the receive lock.
  std::vector<std::uint8_t> receivedBytes(std::size_t maxCount = kBufferSize) const;
  std::array<std::uint8_t, kBufferSize> receiveBufferCopy() const;
  // Everything received, zero bytes included, with the buffer emptied under the same lock, so no
  // byte arriving meanwhile is lost or taken twice.
  std::vector<std::uint8_t> takeReceived();
  // The buffer read as zero-terminated text.
  std::string receivedText() const;

  void setTraceSink(TraceSink sink);

 private:
  void readerLoop(const std::stop_token& stop);
  void writerLoop();
  void trace(Direction direction, std::span<const std::uint8_t> bytes);

  PortOpener opener_;
  Clock& clock_;

  mutable std::mutex receiveLock;
  std::condition_variable_any bytesArrived;
  std::array<std::uint8_t, kBufferSize> receiveBuffer{};
  std::uint32_t receiveCount = 0;

  std::mutex transmitLock;
  std::condition_variable transmitChanged;
  std::array<std::uint8_t, kBufferSize> transmitBuffer{};
  std::int32_t transmitLength = 0;
  bool writePending = false;
  bool writerStopping = false;

  std::array<std::uint8_t, kFrameAreaSize> frameArea{};

  mutable std::mutex stateLock;  // open/close against each other and against isOpen()
  std::unique_ptr<SerialPort> portHandle;
  std::string lastError_;
  std::atomic<bool> lineLost_{false};
  std::jthread readerThread;
  std::thread writerThread;

  std::mutex traceLock;
  TraceSink traceSink;
};

}  // namespace orsa::link
