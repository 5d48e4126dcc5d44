#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "link/SerialPortMap.h"

namespace orsa::testing {

// The system's list of serial devices as a test sets it: empty, the beacon's port, or entries that
// change while the program runs (devices unplugged and plugged in again). The marker is the one
// the Linux map uses unless a test plays the Windows registry ("USBSER").
class FakePortMap final : public link::SerialPortMap {
 public:
  explicit FakePortMap(std::vector<Entry> entries = {}, std::string marker = "cdc_acm")
      : entries_(std::move(entries)), marker_(std::move(marker)) {}

  std::vector<Entry> entries() const override {
    std::lock_guard guard(lock_);
    return entries_;
  }
  std::string candidateMarker() const override { return marker_; }

  void offer(std::vector<Entry> entries) {
    std::lock_guard guard(lock_);
    entries_ = std::move(entries);
  }

 private:
  mutable std::mutex lock_;
  std::vector<Entry> entries_;
  std::string marker_;
};

}  // namespace orsa::testing
