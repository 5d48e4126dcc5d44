#include "sim/PtyEndpoint.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace orsa::sim {

namespace {

[[noreturn]] void fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

void closeFd(int& fd) {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

}  // namespace

PtyEndpoint::PtyEndpoint() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) {
    fail("posix_openpt");
  }
  try {
    if (::grantpt(master_) != 0) {
      fail("grantpt");
    }
    if (::unlockpt(master_) != 0) {
      fail("unlockpt");
    }
    char name[128] = {};
    if (::ptsname_r(master_, name, sizeof name) != 0) {
      fail("ptsname");
    }
    slavePath_ = name;
    ownSlave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (ownSlave_ < 0) {
      fail("open pty slave");
    }
    termios tio{};
    if (::tcgetattr(ownSlave_, &tio) != 0) {
      fail("tcgetattr");
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(ownSlave_, TCSANOW, &tio) != 0) {
      fail("tcsetattr");
    }
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
      fail("fcntl O_NONBLOCK");
    }
  } catch (...) {
    closeFd(ownSlave_);
    closeFd(master_);
    throw;
  }
}

PtyEndpoint::~PtyEndpoint() {
  hangUp();
  closeFd(ownSlave_);
}

long PtyEndpoint::readSome(std::span<std::uint8_t> buffer) {
  if (master_ < 0) {
    return -1;
  }
  const ssize_t n = ::read(master_, buffer.data(), buffer.size());
  if (n < 0) {
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
  }
  return static_cast<long>(n);
}

long PtyEndpoint::writeSome(std::span<const std::uint8_t> bytes) {
  if (master_ < 0) {
    return -1;
  }
  const ssize_t n = ::write(master_, bytes.data(), bytes.size());
  if (n < 0) {
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
  }
  return static_cast<long>(n);
}

void PtyEndpoint::hangUp() {
  // Closing the master hangs up every slave descriptor and removes the path, as a USB device that is
  // pulled out. The endpoint's own slave stays open until it goes: the system frees the terminal's
  // number only when both ends are closed, so the next pseudo-terminal made meanwhile (another
  // simulated beacon) cannot take this path, and a client that opens it again finds nothing there
  // instead of somebody else's beacon.
  closeFd(master_);
}

}  // namespace orsa::sim
