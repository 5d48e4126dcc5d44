#include "link/SerialChannel.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace orsa::link {

namespace {

// Longest a write may make no progress before it is abandoned: a 2 KiB firmware block needs about
// 2.2 s at 9600 baud, and the driver takes it in as fast as the line drains.
constexpr std::chrono::milliseconds kWriteStallLimit{5000};
// Longest writeRaw waits for the previous write to leave the transmit buffer.
constexpr std::chrono::milliseconds kPreviousWriteLimit{10000};

}  // namespace

SerialChannel::SerialChannel() : SerialChannel(&openSerialPort) {}

SerialChannel::SerialChannel(PortOpener opener) : SerialChannel(std::move(opener), steadyClock()) {}

SerialChannel::SerialChannel(PortOpener opener, Clock& clock) : opener_(std::move(opener)), clock_(clock) {}

SerialChannel::~SerialChannel() { close(); }

bool SerialChannel::open(const std::string& portName) {
  close();
  OpenResult opened = opener_(portName);
  std::lock_guard state(stateLock);
  lastError_ = opened.error;
  if (!opened.port) return false;
  portHandle = std::move(opened.port);
  lineLost_ = false;
  {
    std::lock_guard tx(transmitLock);
    writePending = false;
    writerStopping = false;
    transmitLength = 0;
  }
  readerThread = std::jthread([this](const std::stop_token& stop) { readerLoop(stop); });
  writerThread = std::thread([this] { writerLoop(); });
  return true;
}

void SerialChannel::close() {
  std::lock_guard state(stateLock);
  if (!portHandle) return;
  {
    std::lock_guard tx(transmitLock);
    writerStopping = true;
  }
  transmitChanged.notify_all();
  // The writer sends a frame it already holds before it ends: operations often close right
  // after their last send, and that frame must still reach the beacon.
  writerThread.join();
  readerThread.request_stop();
  portHandle->wake();
  readerThread.join();
  portHandle.reset();
}

bool SerialChannel::isOpen() const {
  std::lock_guard state(stateLock);
  return portHandle != nullptr;
}

std::string SerialChannel::lastError() const {
  std::lock_guard state(stateLock);
  return lastError_;
}

void SerialChannel::setOpenFailure(std::string reason) {
  std::lock_guard state(stateLock);
  lastError_ = std::move(reason);
}

void SerialChannel::resetReceive() {
  std::lock_guard lock(receiveLock);
  receiveBuffer.fill(0);
  receiveCount = 0;
}

bool SerialChannel::writeRaw(const std::uint8_t* bytes, std::size_t count) {
  if (count > transmitBuffer.size()) return false;
  std::lock_guard state(stateLock);
  {
    // Purge and reset under the receive lock, which the reader holds across each read: a byte is
    // either read before the purge (and wiped by the reset) or belongs to the new reply.
    std::lock_guard lock(receiveLock);
    if (portHandle) portHandle->purge(true, true);
    receiveBuffer.fill(0);
    receiveCount = 0;
  }
  if (!portHandle) return true;  // lost, as on a closed port; the caller's wait times out
  std::unique_lock tx(transmitLock);
  if (!transmitChanged.wait_for(tx, kPreviousWriteLimit, [&] { return !writePending; })) return false;
  std::copy_n(bytes, count, transmitBuffer.begin());
  transmitLength = static_cast<std::int32_t>(count);
  // Traced before the writer may send it: a quick reply would otherwise come before its frame in
  // the trace, and a recorded session would pair the reply with the frame before.
  trace(Direction::Sent, {bytes, count});
  writePending = true;
  tx.unlock();
  transmitChanged.notify_all();
  return true;
}

bool SerialChannel::sendCommand(std::uint8_t type, std::uint32_t parameter, std::uint32_t length, const void* data) {
  std::size_t size = CommandFrame::encode(frameArea, type, parameter, length, data);
  if (size == 0) return false;
  return writeRaw(frameArea.data(), size);
}

bool SerialChannel::waitForBytes(std::uint32_t count, std::int32_t timeoutMs, const std::stop_token& stop) {
  const auto deadline = clock_.now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  std::unique_lock lock(receiveLock);
  clock_.waitUntil(lock, bytesArrived, deadline, stop, [&] { return receiveCount >= count || lineLost_; });
  return receiveCount >= count;
}

std::uint32_t SerialChannel::receivedCount() const {
  std::lock_guard lock(receiveLock);
  return receiveCount;
}

std::vector<std::uint8_t> SerialChannel::receivedBytes(std::size_t maxCount) const {
  std::lock_guard lock(receiveLock);
  std::size_t n = std::min<std::size_t>(receiveCount, maxCount);
  return {receiveBuffer.begin(), receiveBuffer.begin() + static_cast<std::ptrdiff_t>(n)};
}

std::array<std::uint8_t, SerialChannel::kBufferSize> SerialChannel::receiveBufferCopy() const {
  std::lock_guard lock(receiveLock);
  return receiveBuffer;
}

std::vector<std::uint8_t> SerialChannel::takeReceived() {
  std::lock_guard lock(receiveLock);
  std::vector<std::uint8_t> taken(receiveBuffer.begin(), receiveBuffer.begin() + receiveCount);
  std::fill_n(receiveBuffer.begin(), receiveCount, std::uint8_t{0});
  receiveCount = 0;
  return taken;
}

std::string SerialChannel::receivedText() const {
  std::lock_guard lock(receiveLock);
  const char* text = reinterpret_cast<const char*>(receiveBuffer.data());
  return std::string(text, strnlen(text, receiveBuffer.size()));
}

void SerialChannel::setTraceSink(TraceSink sink) {
  std::lock_guard lock(traceLock);
  traceSink = std::move(sink);
}

void SerialChannel::trace(Direction direction, std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(traceLock);
  if (traceSink) traceSink(direction, bytes);
}

void SerialChannel::readerLoop(const std::stop_token& stop) {
  SerialPort& port = *portHandle;
  std::array<std::uint8_t, kBufferSize> chunk{};
  while (!stop.stop_requested()) {
    const SerialPort::WaitResult ready = port.waitReadable();
    if (ready == SerialPort::WaitResult::Woken) return;
    std::ptrdiff_t got = -1;
    if (ready == SerialPort::WaitResult::Readable) {
      std::lock_guard lock(receiveLock);
      got = port.readAvailable(chunk);
      if (got > 0) {
        // Traced before any waiter can see the bytes: the reply then always comes before the frame
        // its waiter sends next, in a trace as in a recording.
        trace(Direction::Received, {chunk.data(), static_cast<std::size_t>(got)});
        // One zero byte always stays behind the data; what does not fit is dropped.
        std::size_t room = kBufferSize - 1 - receiveCount;
        std::size_t kept = std::min(room, static_cast<std::size_t>(got));
        std::copy_n(chunk.begin(), kept, receiveBuffer.begin() + receiveCount);
        receiveCount += static_cast<std::uint32_t>(kept);
      }
    }
    if (got < 0) {
      // The device is gone and nothing more will arrive: the waits end now. Set under the lock a
      // waiter tests it with, so none misses the news between its test and its sleep.
      {
        std::lock_guard lock(receiveLock);
        lineLost_ = true;
      }
      bytesArrived.notify_all();
      return;
    }
    if (got > 0) bytesArrived.notify_all();
  }
}

void SerialChannel::writerLoop() {
  SerialPort& port = *portHandle;
  std::unique_lock tx(transmitLock);
  for (;;) {
    transmitChanged.wait(tx, [&] { return writePending || writerStopping; });
    if (!writePending) return;
    const auto length = static_cast<std::size_t>(transmitLength);
    tx.unlock();
    // writeRaw does not touch the transmit buffer while a write is pending.
    port.writeAll({transmitBuffer.data(), length}, kWriteStallLimit);
    tx.lock();
    writePending = false;
    transmitChanged.notify_all();
  }
}

}  // namespace orsa::link
