#include "sim/PtyClient.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace orsa::sim::test {

using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> frameBytes(std::uint8_t type, std::uint32_t parameter, std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> frame{type};
  const auto put32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      frame.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
  };
  put32(parameter);
  put32(static_cast<std::uint32_t>(data.size()));
  frame.insert(frame.end(), data.begin(), data.end());
  return frame;
}

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

std::string textOf(std::span<const std::uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
  return {bytes.begin(), end};
}

PtyClient::PtyClient(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    throw std::system_error(errno, std::generic_category(), "open " + path);
  }
  termios tio{};
  ::tcgetattr(fd_, &tio);
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&tio, B9600);
  ::cfsetospeed(&tio, B9600);
  ::tcsetattr(fd_, TCSANOW, &tio);
  ::tcflush(fd_, TCIOFLUSH);
}

PtyClient::~PtyClient() { ::close(fd_); }

bool PtyClient::send(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EAGAIN || errno == EINTR) {
        pollfd pfd{fd_, POLLOUT, 0};
        ::poll(&pfd, 1, 1000);
        continue;
      }
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

std::vector<std::uint8_t> PtyClient::read(std::size_t count, std::chrono::milliseconds timeout) {
  std::vector<std::uint8_t> received;
  const auto deadline = Clock::now() + timeout;
  while (received.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() < 0) {
      break;
    }
    pollfd pfd{fd_, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(left.count()) + 1) <= 0) {
      continue;
    }
    std::uint8_t buffer[4096];
    const std::size_t want = std::min(sizeof buffer, count - received.size());
    const ssize_t n = ::read(fd_, buffer, want);
    if (n > 0) {
      received.insert(received.end(), buffer, buffer + n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      break;  // hung up
    }
  }
  return received;
}

bool PtyClient::waitForHangUp(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (true) {
    pollfd pfd{fd_, POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (::poll(&pfd, 1, static_cast<int>(std::max<long>(left.count(), 0))) > 0) {
      if ((pfd.revents & POLLHUP) != 0) {
        return true;
      }
      std::uint8_t buffer[256];
      [[maybe_unused]] const ssize_t n = ::read(fd_, buffer, sizeof buffer);  // discard data
    }
    if (Clock::now() >= deadline) {
      return false;
    }
  }
}

}  // namespace orsa::sim::test
