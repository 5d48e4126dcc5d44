#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "link/SerialChannel.h"
#include "link/SerialPort.h"

namespace orsa::testing {

// The driver's side of a serial port, played by the test: it records every purge and write in the
// order the channel made them, and hands the channel what the test delivers. Bytes may also sit in
// the driver unannounced, as a real driver holds the tail of an old reply the reader has not yet
// been told of: only a purge removes them.
class FakeLine {
 public:
  using Bytes = std::vector<std::uint8_t>;

  // The channel's port opener: every open gets a port on this line.
  static link::SerialChannel::PortOpener opener(const std::shared_ptr<FakeLine>& line) {
    return [line](const std::string&) { return link::OpenResult{std::make_unique<Port>(line), {}}; };
  }

  // Bytes from the beacon, announced to the reader at once.
  void deliver(const Bytes& bytes) {
    {
      std::lock_guard guard(lock_);
      driver_.insert(driver_.end(), bytes.begin(), bytes.end());
      announced_ = true;
    }
    changed_.notify_all();
  }
  void deliver(const std::string& text) { deliver(Bytes(text.begin(), text.end())); }
  // Bytes the driver holds that the reader has not been told of yet.
  void holdInDriver(const std::string& text) {
    std::lock_guard guard(lock_);
    driver_.insert(driver_.end(), text.begin(), text.end());
  }

  // "purge" and "write" in the order they happened.
  std::vector<std::string> events() const {
    std::lock_guard guard(lock_);
    return events_;
  }
  std::vector<Bytes> writes() const {
    std::lock_guard guard(lock_);
    return writes_;
  }
  // True once `count` writes were made; false when the time-out passed first.
  bool waitForWrites(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock guard(lock_);
    return changed_.wait_for(guard, timeout, [&] { return writes_.size() >= count; });
  }

 private:
  class Port final : public link::SerialPort {
   public:
    explicit Port(std::shared_ptr<FakeLine> line) : line_(std::move(line)) {}
    WaitResult waitReadable() override {
      std::unique_lock guard(line_->lock_);
      line_->changed_.wait(guard, [&] { return woken_ || (line_->announced_ && !line_->driver_.empty()); });
      return woken_ ? WaitResult::Woken : WaitResult::Readable;
    }
    std::ptrdiff_t readAvailable(std::span<std::uint8_t> into) override {
      std::lock_guard guard(line_->lock_);
      const std::size_t n = std::min(into.size(), line_->driver_.size());
      std::copy_n(line_->driver_.begin(), n, into.begin());
      line_->driver_.erase(line_->driver_.begin(), line_->driver_.begin() + static_cast<std::ptrdiff_t>(n));
      line_->announced_ = !line_->driver_.empty();
      return static_cast<std::ptrdiff_t>(n);
    }
    bool writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds) override {
      {
        std::lock_guard guard(line_->lock_);
        line_->events_.emplace_back("write");
        line_->writes_.emplace_back(bytes.begin(), bytes.end());
      }
      line_->changed_.notify_all();
      return true;
    }
    void purge(bool receive, bool) override {
      std::lock_guard guard(line_->lock_);
      line_->events_.emplace_back("purge");
      if (receive) line_->driver_.clear();
    }
    void wake() override {
      {
        std::lock_guard guard(line_->lock_);
        woken_ = true;
      }
      line_->changed_.notify_all();
    }

   private:
    std::shared_ptr<FakeLine> line_;
    bool woken_ = false;  // guarded by the line's lock
  };

  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  Bytes driver_;
  bool announced_ = false;
  std::vector<std::string> events_;
  std::vector<Bytes> writes_;
};

}  // namespace orsa::testing
