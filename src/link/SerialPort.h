#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace orsa::link {

// One open serial port as the operating system offers it. The channel's reader thread blocks in
// waitReadable() and then drains the port with readAvailable(); the writer thread calls writeAll().
class SerialPort {
 public:
  enum class WaitResult { Readable, Woken, LineDown };

  virtual ~SerialPort() = default;

  // Blocks until bytes can be read, the line goes away (hang-up, unplug) or wake() was called.
  virtual WaitResult waitReadable() = 0;
  // Reads what is waiting without blocking. Returns the byte count, 0 when nothing is there (bytes
  // announced by waitReadable() may have been purged since), or -1 when the line is down.
  virtual std::ptrdiff_t readAvailable(std::span<std::uint8_t> into) = 0;
  // Writes every byte unless the line goes down, wake() is called or no byte moves for stallLimit.
  virtual bool writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds stallLimit) = 0;
  // Discards what the driver holds in either direction.
  virtual void purge(bool receive, bool transmit) = 0;
  // Makes a blocked or future waitReadable() return Woken; used once, to stop the channel.
  virtual void wake() = 0;
};

struct OpenResult {
  std::unique_ptr<SerialPort> port;
  std::string error;  // why the port did not open; empty on success
};

// The platform's device path for a port name as the user gives it.
std::string devicePathFor(const std::string& portName);

// Opens the port exclusively at 9600 baud, 8-N-1, raw, without flow control and without driving DTR/RTS.
// A port another program holds is refused, and the error names that program.
OpenResult openSerialPort(const std::string& portName);

// Whether the port would open for us now, found by opening it and releasing it at once without
// changing its line settings (it may belong to another device). Empty when it opens, else why not.
std::string probeSerialPort(const std::string& portName);

}  // namespace orsa::link
