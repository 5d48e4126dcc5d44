#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orsa::sim {

// The beacon's end of a pseudo-terminal. Clients open slavePath() like any serial port.
// The endpoint keeps one slave descriptor of its own open, so the master does not report hang-up
// while no client is attached and the line settings (raw, set at creation) survive between clients.
// Not thread-safe: one thread owns the endpoint.
class PtyEndpoint {
 public:
  PtyEndpoint();  // throws std::system_error when no pseudo-terminal can be set up
  ~PtyEndpoint();
  PtyEndpoint(const PtyEndpoint&) = delete;
  PtyEndpoint& operator=(const PtyEndpoint&) = delete;

  const std::string& slavePath() const { return slavePath_; }
  int masterFd() const { return master_; }  // -1 after hangUp()
  bool isHungUp() const { return master_ < 0; }

  // Non-blocking; both return the byte count, 0 when nothing can be moved now, -1 on an error.
  long readSome(std::span<std::uint8_t> buffer);
  long writeSome(std::span<const std::uint8_t> bytes);

  // Closes the master: clients see POLLHUP and EIO, and the path is gone. Until the endpoint goes,
  // no other pseudo-terminal gets its path.
  void hangUp();

 private:
  int master_ = -1;
  int ownSlave_ = -1;
  std::string slavePath_;
};

}  // namespace orsa::sim
