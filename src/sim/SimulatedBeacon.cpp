#include "sim/SimulatedBeacon.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <exception>
#include <optional>

namespace orsa::sim {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A partly received frame is dropped when no byte followed it for this long.
constexpr auto staleInputTimeout = 2s;
// Throttled output is released at most this often (several bytes per wake-up at high rates).
constexpr auto minOutputWake = 1ms;
// The GNSS module's own output waiting for a client that does not read is kept up to this much;
// more is lost, as in the beacon's full relay buffer. Replies to frames are always kept.
constexpr std::size_t maxQueuedGnssOutput = 16 * 1024;

struct PendingFrame {
  Frame frame;
  Clock::time_point actAt;  // when its last byte would have arrived on the line
};

struct PendingReply {
  std::vector<std::uint8_t> bytes;
  std::size_t sent = 0;
  Clock::time_point readyAt;  // not before this
};

}  // namespace

SimulatedBeacon::SimulatedBeacon(FaultPlan faults) : portPath_(line_.portPath()), faults_(std::move(faults)) {
  model_.setModemFaults(faults_.modemFaults());
  model_.setGnssFaults(faults_.gnssFaults());
  server_ = std::jthread([this](const std::stop_token& stop) { serve(stop); });
}

SimulatedBeacon::~SimulatedBeacon() {
  server_.request_stop();
  if (server_.joinable()) {
    server_.join();
  }
}

const std::string& SimulatedBeacon::portPath() const { return portPath_; }

void SimulatedBeacon::setFaults(FaultPlan faults) {
  {
    const std::lock_guard lock(mutex_);
    faults_ = std::move(faults);
    model_.setModemFaults(faults_.modemFaults());
    model_.setGnssFaults(faults_.gnssFaults());
    framesOfType_.clear();
    framesSincePlan_ = 0;
  }
  wake();
}

std::vector<FrameRecord> SimulatedBeacon::trace() const {
  const std::lock_guard lock(mutex_);
  return trace_;
}

void SimulatedBeacon::clearTrace() {
  const std::lock_guard lock(mutex_);
  trace_.clear();
}

bool SimulatedBeacon::waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return trace_.size() >= count; });
}

std::array<std::uint8_t, 32> SimulatedBeacon::settingsCell(std::uint32_t parameter) const {
  const std::lock_guard lock(mutex_);
  return model_.cell(parameter);
}

void SimulatedBeacon::setSettingsCell(std::uint32_t parameter, std::string_view text) {
  const std::lock_guard lock(mutex_);
  model_.setCell(parameter, text);
}

std::vector<std::uint8_t> SimulatedBeacon::flashImage(std::size_t length) const {
  const std::lock_guard lock(mutex_);
  return model_.flashImage(length);
}

std::size_t SimulatedBeacon::eraseCount() const {
  const std::lock_guard lock(mutex_);
  return model_.eraseCount();
}

std::vector<std::uint8_t> SimulatedBeacon::modemInput() const {
  const std::lock_guard lock(mutex_);
  return model_.modemInput();
}

std::vector<std::uint8_t> SimulatedBeacon::gnssInput() const {
  const std::lock_guard lock(mutex_);
  return model_.gnssInput();
}

void SimulatedBeacon::setModemModel(std::unique_ptr<ModemModel> modem) {
  const std::lock_guard lock(mutex_);
  model_.setModemModel(std::move(modem));
}

void SimulatedBeacon::setGnssModel(std::unique_ptr<GnssModel> gnss) {
  {
    const std::lock_guard lock(mutex_);
    model_.setGnssModel(std::move(gnss));
  }
  wake();  // its output may be due sooner than the serving thread planned
}

void SimulatedBeacon::gnssSends(std::span<const std::uint8_t> bytes) {
  {
    const std::lock_guard lock(mutex_);
    model_.gnssSends(bytes, Clock::now());
  }
  wake();
}

void SimulatedBeacon::gnssSends(std::string_view text) {
  gnssSends(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<std::string> SimulatedBeacon::protocolErrors() const {
  const std::lock_guard lock(mutex_);
  return model_.protocolErrors();
}

void SimulatedBeacon::setFrameObserver(std::function<void(const FrameRecord&)> observer) {
  const std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

void SimulatedBeacon::hangUp() {
  std::unique_lock lock(mutex_);
  hangUpRequested_ = true;
  wake();
  changed_.wait(lock, [&] { return hungUp_; });
}

bool SimulatedBeacon::isHungUp() const {
  const std::lock_guard lock(mutex_);
  return hungUp_;
}

void SimulatedBeacon::wake() const { line_.wake(); }

void SimulatedBeacon::serve(const std::stop_token& stop) {
  const std::stop_callback onStop(stop, [this] { wake(); });
  useFineTimers();

  FrameParser parser;
  std::deque<PendingFrame> frames;
  std::deque<PendingReply> replies;
  Clock::time_point inputLineFree{};   // throttled: when the line has delivered all input read so far
  Clock::time_point outputLineFree{};  // throttled: when the line has sent all output released so far
  Clock::time_point lastInputAt{};
  std::uint32_t noise = 0x2545F491U;
  std::array<std::uint8_t, 4096> buffer{};

  const auto hangUpNow = [&] {
    {
      // Closed under the lock, so whoever sees the hang-up on the line also sees isHungUp().
      const std::lock_guard lock(mutex_);
      line_.hangUp();
      hungUp_ = true;
    }
    changed_.notify_all();
    frames.clear();
    replies.clear();
    parser = FrameParser{};
  };

  // Acts on one frame: trace, fault counters, then the model's reply or the plan's hang-up.
  const auto act = [&](const Frame& frame, Clock::time_point now) {
    FrameRecord record{frame.type, frame.parameter, frame.data, now};
    std::function<void(const FrameRecord&)> observer;
    std::vector<std::uint8_t> reply;
    FaultPlan::ReplyFault fault;
    bool hangUpHere = false;
    {
      const std::lock_guard lock(mutex_);
      trace_.push_back(record);
      ++framesSincePlan_;
      const unsigned nth = ++framesOfType_[frame.type];
      const auto hangUpAfter = faults_.hangUpAfterFrames();
      hangUpHere = hangUpAfter && framesSincePlan_ >= *hangUpAfter;
      if (!hangUpHere) {
        fault = faults_.faultFor(frame.type, nth);
        const bool forgotten = fault.forget && model_.hasCell(frame.parameter);
        const BeaconModel::Cell kept = forgotten ? model_.cell(frame.parameter) : BeaconModel::Cell{};
        try {
          reply = model_.handle(frame, now);
        } catch (const std::exception& e) {  // a plugged-in model failed: no answer
          model_.recordProtocolError(std::string("model failed on type ") + std::to_string(frame.type) + ": " +
                                     e.what());
        }
        if (forgotten) model_.setCell(frame.parameter, {reinterpret_cast<const char*>(kept.data()), kept.size()});
      }
      observer = observer_;
    }
    changed_.notify_all();
    if (observer) {
      observer(record);
    }
    if (hangUpHere) {
      hangUpNow();
      return;
    }
    reply = applyReplyFault(std::move(reply), fault, noise);
    if (!reply.empty()) {
      replies.push_back({std::move(reply), 0, now + fault.delay});
    }
  };

  while (!stop.stop_requested()) {
    Clock::time_point now = Clock::now();
    std::chrono::nanoseconds byteTime{};
    bool hangUpAsked = false;
    {
      const std::lock_guard lock(mutex_);
      byteTime = faults_.byteTime();
      hangUpAsked = hangUpRequested_ && !hungUp_;
    }
    if (hangUpAsked) {
      hangUpNow();
    }

    // Frames whose last byte has arrived (at once unless throttled).
    while (!line_.isHungUp() && !frames.empty() && frames.front().actAt <= now) {
      Frame frame = std::move(frames.front().frame);
      frames.pop_front();
      act(frame, now);
    }

    // The GNSS module's own output whose time has come, after the replies already queued.
    std::optional<Clock::time_point> nextGnssOutput;
    if (!line_.isHungUp()) {
      std::vector<std::uint8_t> output;
      {
        const std::lock_guard lock(mutex_);
        output = model_.takeGnssOutput(now);
        nextGnssOutput = model_.nextGnssOutputAt();
      }
      std::size_t queued = 0;
      for (const auto& reply : replies) {
        queued += reply.bytes.size() - reply.sent;
      }
      if (!output.empty() && queued + output.size() <= maxQueuedGnssOutput) {
        replies.push_back({std::move(output), 0, now});
      }
    }

    // Replies: in order, none before its time; throttled, byte by byte at the line rate.
    std::optional<Clock::time_point> nextOutput;
    bool waitWritable = false;
    while (!line_.isHungUp() && !replies.empty()) {
      PendingReply& reply = replies.front();
      const std::size_t remaining = reply.bytes.size() - reply.sent;
      const bool throttled = byteTime.count() > 0;
      const Clock::time_point start = throttled ? std::max(reply.readyAt, outputLineFree) : reply.readyAt;
      std::size_t allowed = remaining;  // bytes whose time on the line has passed
      if (now < start) {
        allowed = 0;
      } else if (throttled) {
        allowed = std::min(remaining, static_cast<std::size_t>((now - start) / byteTime));
      }
      if (allowed == 0) {
        // A short reply goes out whole the moment its last byte is through, not a slice later.
        const Clock::time_point whole = start + byteTime * static_cast<long>(remaining);
        nextOutput = throttled ? std::max(start + byteTime, std::min(now + minOutputWake, whole)) : start;
        break;
      }
      const long written = line_.writeSome(std::span(reply.bytes).subspan(reply.sent, allowed));
      if (written < 0) {
        replies.clear();  // the line is gone; nothing more can be sent
        break;
      }
      const auto count = static_cast<std::size_t>(written);
      reply.sent += count;
      if (throttled) {
        outputLineFree = start + byteTime * static_cast<long>(count);
      }
      if (count < allowed) {
        waitWritable = true;  // the client's input queue is full
        break;
      }
      if (reply.sent == reply.bytes.size()) {
        replies.pop_front();
      }
    }

    // A partial frame that nobody completes is dropped, so the next frame parses cleanly.
    std::optional<Clock::time_point> staleAt;
    if (parser.pendingBytes() > 0) {
      staleAt = lastInputAt + staleInputTimeout;
      if (now >= *staleAt) {
        parser.discardPartial();
        staleAt.reset();
      }
    }
    if (auto errors = parser.takeErrors(); !errors.empty()) {
      const std::lock_guard lock(mutex_);
      for (auto& error : errors) {
        model_.recordProtocolError(std::move(error));
      }
    }

    std::optional<Clock::time_point> deadline;
    const auto consider = [&](std::optional<Clock::time_point> t) {
      if (t && (!deadline || *t < *deadline)) {
        deadline = t;
      }
    };
    if (!frames.empty()) {
      consider(frames.front().actAt);
    }
    if (!waitWritable) {
      consider(nextOutput);
    }
    consider(staleAt);
    consider(nextGnssOutput);

    line_.wait(waitWritable, deadline);
    if (line_.isHungUp()) {
      continue;
    }
    const long n = line_.readSome(buffer);
    if (n < 0) {
      hangUpNow();  // the line failed; stop serving it rather than spin on it
      continue;
    }
    if (n > 0) {
      now = Clock::now();
      lastInputAt = now;
      {
        const std::lock_guard lock(mutex_);
        byteTime = faults_.byteTime();  // a plan set while we waited applies to these bytes
      }
      std::span<const std::uint8_t> input(buffer.data(), static_cast<std::size_t>(n));
      const Clock::time_point base = byteTime.count() > 0 ? std::max(inputLineFree, now) : now;
      std::size_t offset = 0;
      while (!input.empty()) {
        const std::size_t taken = parser.consume(input);
        input = input.subspan(taken);
        offset += taken;
        if (auto frame = parser.takeFrame()) {
          frames.push_back({std::move(*frame), base + byteTime * static_cast<long>(offset)});
        }
      }
      if (byteTime.count() > 0) {
        inputLineFree = base + byteTime * static_cast<long>(offset);
      }
    }
  }
}

}  // namespace orsa::sim
