#pragma once

#include "link/SerialPort.h"

namespace orsa::link {

// termios backend. The descriptor is non-blocking; blocking happens in poll() together with an
// eventfd, so a waiting thread can always be woken for a clean stop.
class PosixSerialPort final : public SerialPort {
 public:
  static OpenResult open(const std::string& devicePath);
  // Opens and releases at once, leaving the line settings alone; the reason when it would not open.
  static std::string probe(const std::string& devicePath);
  ~PosixSerialPort() override;

  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  WaitResult waitReadable() override;
  std::ptrdiff_t readAvailable(std::span<std::uint8_t> into) override;
  bool writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds stallLimit) override;
  void purge(bool receive, bool transmit) override;
  void wake() override;

 private:
  PosixSerialPort(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd) {}

  int fd_;
  int wakeFd_;
  bool hungUp_ = false;  // poll() reported a hang-up or an error; only the reader thread uses it
};

}  // namespace orsa::link
