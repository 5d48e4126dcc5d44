#include "cli/NmeaPty.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

namespace orsa::cli {

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

NmeaPty::NmeaPty(std::filesystem::path link) : link_(std::move(link)) {
  std::array<char, 256> name{};
  if (::openpty(&master_, &slave_, name.data(), nullptr, nullptr) != 0) fail("openpty");
  devicePath_ = name.data();
  termios tio{};
  ::tcgetattr(slave_, &tio);
  ::cfmakeraw(&tio);
  ::cfsetspeed(&tio, B9600);
  ::tcsetattr(slave_, TCSANOW, &tio);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);

  // A link left by an earlier run is replaced; anything else at the path is the user's.
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(link_, error)) && !std::filesystem::is_symlink(link_)) {
    ::close(master_);
    ::close(slave_);
    errno = EEXIST;
    fail(link_.string());
  }
  // Made under a temporary name and renamed, so a reader never finds the path half made.
  const auto temporary = std::filesystem::path(link_.string() + ".tmp" + std::to_string(::getpid()));
  std::filesystem::remove(temporary, error);
  if (::symlink(devicePath_.c_str(), temporary.c_str()) != 0 || ::rename(temporary.c_str(), link_.c_str()) != 0) {
    const int saved = errno;
    std::filesystem::remove(temporary, error);
    ::close(master_);
    ::close(slave_);
    errno = saved;
    fail(link_.string());
  }
}

NmeaPty::~NmeaPty() {
  // Only our own link goes: another run may have put its own at the path meanwhile.
  std::error_code error;
  if (std::filesystem::read_symlink(link_, error) == devicePath_) std::filesystem::remove(link_, error);
  ::close(master_);
  ::close(slave_);
}

void NmeaPty::write(std::string_view stream) {
  std::array<char, 512> discarded{};
  while (::read(master_, discarded.data(), discarded.size()) > 0) {
  }
  while (!stream.empty()) {
    const ssize_t n = ::write(master_, stream.data(), stream.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the queue is full (or the line gone): the rest is dropped
    stream.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace orsa::cli
