#include "link/PosixSerialPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "link/PortHolders.h"
#include "link/SystemReason.h"

namespace orsa::link {

namespace {

std::string systemError(const std::string& what) { return what + ": " + link::systemReason(errno); }

// Raw 9600 8-N-1: firmware bytes must pass unchanged, so no echo, no line editing, no CR/LF
// translation and no XON/XOFF; CLOCAL because the beacon's modem lines mean nothing to us.
bool configureLine(int fd, std::string& error) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) {
    error = systemError("не удалось прочитать настройки линии");
    return false;
  }
  cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  cfsetispeed(&tio, B9600);
  cfsetospeed(&tio, B9600);
  if (tcsetattr(fd, TCSANOW, &tio) != 0) {
    error = systemError("не удалось применить настройки линии");
    return false;
  }
  // tcsetattr succeeds when any one change took; check that the ones that matter did.
  termios applied{};
  if (tcgetattr(fd, &applied) != 0 || cfgetospeed(&applied) != B9600 || (applied.c_cflag & CSIZE) != CS8 ||
      (applied.c_cflag & (PARENB | CSTOPB | CRTSCTS)) != 0 || (applied.c_lflag & (ICANON | ECHO)) != 0) {
    error = "порт не принимает 9600 бод, 8-N-1 без преобразований";
    return false;
  }
  // DTR and RTS are not driven. Ports without modem lines (pseudo-terminals) refuse this; that is fine.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(fd, TIOCMBIC, &lines);
  return true;
}

// One line a person can act on; shown after "Устройство не подключено".
std::string openFailure(const std::string& devicePath, int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "порт " + devicePath + " не найден";
    case EACCES:
    case EPERM:
      return "нет доступа к порту " + devicePath +
             ": добавьте пользователя в группу dialout (sudo usermod -aG dialout $USER) и войдите в систему заново";
    case EBUSY:
      return "порт " + devicePath + " занят другой программой";
    default:
      return "не удалось открыть порт " + devicePath + ": " + systemReason(error);
  }
}

std::string heldBy(const std::string& devicePath, const std::vector<PortHolder>& holders) {
  std::string names;
  for (const auto& holder : holders) {
    if (!names.empty()) names += ", ";
    names += holder.name + " (pid " + std::to_string(holder.pid) + ")";
  }
  return "порт " + devicePath + " занят: его держит " + names;
}

// Opens the device for our use alone without touching its line settings: refused when it is no
// terminal, while another process holds it (a terminal program that was there first) or another opener
// holds its lock. -1 with `error` set when refused. Whether it is a terminal is asked first: /dev/null
// is held by every daemon, and a list of them would hide that it was the wrong device.
int openExclusive(const std::string& devicePath, std::string& error) {
  int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int openError = errno;
    // A program that made the port exclusive keeps us out at the open; name it where we can see it.
    const auto holders = openError == EBUSY ? findPortHolders(devicePath) : std::vector<PortHolder>{};
    error = holders.empty() ? openFailure(devicePath, openError) : heldBy(devicePath, holders);
    return -1;
  }
  if (!isatty(fd)) {
    error = devicePath + " — не последовательный порт";
  } else if (auto holders = findPortHolders(devicePath, fd); !holders.empty()) {
    error = heldBy(devicePath, holders);
  } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // Another copy of this program, or anything else that locks ports as we do.
    error = "порт " + devicePath + " занят другой программой";
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

}  // namespace

OpenResult PosixSerialPort::open(const std::string& devicePath) {
  OpenResult result;
  int fd = openExclusive(devicePath, result.error);
  if (fd < 0) return result;
  auto fail = [&](std::string why) {
    ::close(fd);
    result.error = std::move(why);
    return std::move(result);
  };
  // TIOCEXCL keeps out later openers that don't lock (the flock above stops those that do, even
  // when they run as root, which TIOCEXCL alone would not).
  if (ioctl(fd, TIOCEXCL) != 0) return fail(openFailure(devicePath, errno));
  std::string error;
  if (!configureLine(fd, error)) return fail(devicePath + ": " + error);
  tcflush(fd, TCIFLUSH);
  int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) return fail(systemError("не удалось создать событие пробуждения"));
  result.port.reset(new PosixSerialPort(fd, wakeFd));
  return result;
}

std::string PosixSerialPort::probe(const std::string& devicePath) {
  std::string error;
  int fd = openExclusive(devicePath, error);
  if (fd >= 0) ::close(fd);
  return error;
}

PosixSerialPort::~PosixSerialPort() {
  ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  ::close(wakeFd_);
}

SerialPort::WaitResult PosixSerialPort::waitReadable() {
  for (;;) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    int ready = poll(fds, 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return WaitResult::LineDown;
    }
    if (fds[1].revents & POLLIN) return WaitResult::Woken;
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) hungUp_ = true;
    // After a hang-up a terminal still reads as readable; what is left is read first, and the
    // read that finds nothing more reports the line as down.
    if (fds[0].revents & POLLIN) return WaitResult::Readable;
    if (hungUp_) return WaitResult::LineDown;
  }
}

std::ptrdiff_t PosixSerialPort::readAvailable(std::span<std::uint8_t> into) {
  for (;;) {
    ssize_t n = ::read(fd_, into.data(), into.size());
    if (n > 0) return n;
    // With VMIN and VTIME at 0 an empty queue reads as 0 bytes: a purge between poll() and
    // read() takes back what poll() announced. Only after a hang-up does 0 mean the end.
    if (n == 0) return hungUp_ ? -1 : 0;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return hungUp_ ? -1 : 0;
    return -1;  // EIO: the device is gone
  }
}

bool PosixSerialPort::writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds stallLimit) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
    // The driver's queue is full: wait for room, for a wake-up, or give up after the stall limit.
    pollfd fds[2] = {{fd_, POLLOUT, 0}, {wakeFd_, POLLIN, 0}};
    int ready = poll(fds, 2, static_cast<int>(stallLimit.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    if (fds[1].revents & POLLIN) return false;
    if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return false;
  }
  return true;
}

void PosixSerialPort::purge(bool receive, bool transmit) {
  if (receive && transmit) {
    tcflush(fd_, TCIOFLUSH);
  } else if (receive) {
    tcflush(fd_, TCIFLUSH);
  } else if (transmit) {
    tcflush(fd_, TCOFLUSH);
  }
}

void PosixSerialPort::wake() {
  std::uint64_t one = 1;
  [[maybe_unused]] auto written = ::write(wakeFd_, &one, sizeof one);
}

std::string devicePathFor(const std::string& portName) {
  if (portName.empty() || portName.find('/') != std::string::npos) return portName;
  return "/dev/" + portName;
}

OpenResult openSerialPort(const std::string& portName) {
  if (portName.empty()) return {nullptr, "порт не выбран"};
  return PosixSerialPort::open(devicePathFor(portName));
}

std::string probeSerialPort(const std::string& portName) {
  if (portName.empty()) return "порт не выбран";
  return PosixSerialPort::probe(devicePathFor(portName));
}

}  // namespace orsa::link
