#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace orsa::testing {

// A pseudo-terminal pair for tests that play the beacon's side by hand: the program under test
// opens slavePath() like any serial port, the test reads and writes the master.
class PtyPair {
 public:
  PtyPair() {
    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) == 0) {
      termios tio{};
      tcgetattr(slave, &tio);
      cfmakeraw(&tio);
      tcsetattr(slave, TCSANOW, &tio);
      path_ = name;
      // Keep a slave descriptor so the master does not see a hang-up between the program's opens.
      holder_ = slave;
    }
  }
  ~PtyPair() {
    closeMaster();
    if (holder_ >= 0) ::close(holder_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0; }
  const std::string& slavePath() const { return path_; }

  void write(const std::vector<std::uint8_t>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
  }
  void write(const std::string& text) const { write(std::vector<std::uint8_t>(text.begin(), text.end())); }

  // Reads until `count` bytes came or the time-out passed.
  std::vector<std::uint8_t> read(std::size_t count, std::chrono::milliseconds timeout) const {
    std::vector<std::uint8_t> got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (got.size() < count) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd fd{master_, POLLIN, 0};
      if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) break;
      std::uint8_t chunk[4096];
      ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, count - got.size()));
      if (n <= 0) break;
      got.insert(got.end(), chunk, chunk + n);
    }
    return got;
  }

  // Hangs the line up, as an unplugged beacon does.
  void closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  void releaseSlaveHolder() {
    if (holder_ >= 0) ::close(holder_);
    holder_ = -1;
  }

 private:
  int master_ = -1;
  int holder_ = -1;
  std::string path_;
};

}  // namespace orsa::testing
