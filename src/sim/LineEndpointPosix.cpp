// The line as a pseudo-terminal: the device holds the master, clients open the slave's path.
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "sim/LineEndpoint.h"

namespace orsa::sim {

namespace {

[[noreturn]] void fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

// A non-blocking read's or write's result as readSome() and writeSome() give it.
long moved(ssize_t n) {
  if (n < 0) {
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
  }
  return static_cast<long>(n);
}

void closeFd(int& fd) {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

}  // namespace

// The endpoint keeps one slave descriptor of its own open, so the master does not report hang-up
// while no client is attached and the line settings (raw, set at creation) survive between clients.
struct LineEndpoint::Line {
  int master = -1;
  int ownSlave = -1;
  int wake = -1;  // an eventfd

  ~Line() {
    closeFd(master);
    closeFd(ownSlave);
    closeFd(wake);
  }
};

LineEndpoint::LineEndpoint() : line_(std::make_unique<Line>()) {
  Line& line = *line_;
  line.wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (line.wake < 0) {
    fail("eventfd");
  }
  line.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (line.master < 0) {
    fail("posix_openpt");
  }
  if (::grantpt(line.master) != 0) {
    fail("grantpt");
  }
  if (::unlockpt(line.master) != 0) {
    fail("unlockpt");
  }
  char name[128] = {};
  if (::ptsname_r(line.master, name, sizeof name) != 0) {
    fail("ptsname");
  }
  portPath_ = name;
  line.ownSlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (line.ownSlave < 0) {
    fail("open pty slave");
  }
  termios tio{};
  if (::tcgetattr(line.ownSlave, &tio) != 0) {
    fail("tcgetattr");
  }
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, B9600);
  ::cfsetospeed(&tio, B9600);
  if (::tcsetattr(line.ownSlave, TCSANOW, &tio) != 0) {
    fail("tcsetattr");
  }
  const int flags = ::fcntl(line.master, F_GETFL);
  if (flags < 0 || ::fcntl(line.master, F_SETFL, flags | O_NONBLOCK) != 0) {
    fail("fcntl O_NONBLOCK");
  }
}

LineEndpoint::~LineEndpoint() = default;

bool LineEndpoint::isHungUp() const { return line_->master < 0; }

long LineEndpoint::readSome(std::span<std::uint8_t> buffer) {
  if (isHungUp()) {
    return -1;
  }
  return moved(::read(line_->master, buffer.data(), buffer.size()));
}

long LineEndpoint::writeSome(std::span<const std::uint8_t> bytes) {
  if (isHungUp()) {
    return -1;
  }
  return moved(::write(line_->master, bytes.data(), bytes.size()));
}

void LineEndpoint::wait(bool forOutput, std::optional<Clock::time_point> deadline) {
  pollfd fds[2] = {{line_->wake, POLLIN, 0},
                   {line_->master, static_cast<short>(POLLIN | (forOutput ? POLLOUT : 0)), 0}};
  const nfds_t count = isHungUp() ? 1 : 2;
  timespec timeout{};
  if (deadline) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::max(*deadline - Clock::now(), Clock::duration::zero()));
    timeout.tv_sec = static_cast<time_t>(ns.count() / 1'000'000'000);
    timeout.tv_nsec = static_cast<long>(ns.count() % 1'000'000'000);
  }
  if (::ppoll(fds, count, deadline ? &timeout : nullptr, nullptr) > 0 && (fds[0].revents & POLLIN) != 0) {
    std::uint64_t value = 0;
    [[maybe_unused]] const auto n = ::read(line_->wake, &value, sizeof value);
  }
}

void LineEndpoint::wake() const {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto n = ::write(line_->wake, &one, sizeof one);
}

void LineEndpoint::hangUp() {
  // Closing the master hangs up every slave descriptor and removes the path, as a USB device that is
  // pulled out. The endpoint's own slave stays open until it goes: the system frees the terminal's
  // number only when both ends are closed, so the next pseudo-terminal made meanwhile (another
  // simulated beacon) cannot take this path, and a client that opens it again finds nothing there
  // instead of somebody else's beacon.
  closeFd(line_->master);
}

void useFineTimers() { ::prctl(PR_SET_TIMERSLACK, 1UL); }

}  // namespace orsa::sim
