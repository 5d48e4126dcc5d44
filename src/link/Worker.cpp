#include "link/Worker.h"

namespace orsa::link {

Worker::Worker(DeviceLink link, std::string operationName) : link_(link), operationName_(std::move(operationName)) {}

Worker::~Worker() { stopAndJoin(); }

bool Worker::start() {
  if (thread_.joinable()) return false;
  claim_ = link_.gate.tryClaim(operationName_);
  if (!claim_) {
    refusal_ = channelBusyMessage(link_.gate.holder().value_or(operationName_));
    return false;
  }
  thread_ = std::thread([this] { threadMain(); });
  return true;
}

void Worker::threadMain() {
  run();
  claim_.reset();
  finished_ = true;
  if (finishedHandler_) finishedHandler_();
}

void Worker::requestStop() { stop_.request_stop(); }

void Worker::join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void Worker::stopAndJoin() {
  requestStop();
  join();
}

bool Worker::connectDevice() { return link::connectDevice(link_.channel, link_.portMap, link_.host.portChoice()); }

bool Worker::pause(std::chrono::milliseconds duration) {
  Clock& clock = link_.channel.clock();
  return clock.sleepUntil(clock.now() + duration, stop_.get_token());
}

bool Worker::lineFellQuiet(std::chrono::milliseconds gap, std::chrono::milliseconds limit, bool closing) {
  // In sleeps rather than waits on a byte: a quiet line is a gap that passed, and a test's clock
  // lets a sleep pass at once.
  Clock& clock = link_.channel.clock();
  const auto deadline = clock.now() + limit;
  link_.channel.takeReceived();
  do {
    if (!clock.sleepUntil(clock.now() + gap, closing ? std::stop_token{} : stop_.get_token())) return false;
    if (link_.channel.lineLost()) return false;
    if (link_.channel.takeReceived().empty()) return true;
  } while (clock.now() < deadline);
  return false;
}

bool Worker::sendCommand(std::uint8_t type, std::uint32_t parameter, std::uint32_t length, const void* data) {
  if (stop_.stop_requested()) return false;
  return link_.channel.sendCommand(type, parameter, length, data);
}

bool Worker::writeRaw(const std::uint8_t* bytes, std::size_t count) {
  if (stop_.stop_requested()) return false;
  return link_.channel.writeRaw(bytes, count);
}

bool Worker::waitForBytes(std::uint32_t count, std::int32_t timeoutMs) {
  return link_.channel.waitForBytes(count, timeoutMs, stop_.get_token());
}

}  // namespace orsa::link
