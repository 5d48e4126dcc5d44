#include "link/PortHolders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

namespace orsa::link {

namespace {

constexpr unsigned kPtySlaveMajorFirst = 136;  // Unix98 pty slaves use majors 136..143
constexpr unsigned kPtySlaveMajorLast = 143;

std::optional<unsigned> ptyIndex(dev_t device) {
  const unsigned majorNumber = major(device);
  if (majorNumber < kPtySlaveMajorFirst || majorNumber > kPtySlaveMajorLast) return std::nullopt;
  return (majorNumber - kPtySlaveMajorFirst) * 256 + minor(device);
}

// A directory opened relative to another, closed with its scope.
class Directory {
 public:
  Directory(int parent, const char* name) {
    int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 && !(dir_ = ::fdopendir(fd))) ::close(fd);
  }
  ~Directory() {
    if (dir_) ::closedir(dir_);
  }
  Directory(const Directory&) = delete;
  Directory& operator=(const Directory&) = delete;

  explicit operator bool() const { return dir_ != nullptr; }
  int fd() const { return ::dirfd(dir_); }
  const char* next() {
    while (const dirent* entry = ::readdir(dir_)) {
      if (entry->d_name[0] != '.') return entry->d_name;
    }
    return nullptr;
  }

 private:
  DIR* dir_ = nullptr;
};

std::string readSmallFile(int dir, const std::string& name) {
  int fd = ::openat(dir, name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char text[512];
  ssize_t n = ::read(fd, text, sizeof text);
  ::close(fd);
  return n > 0 ? std::string(text, static_cast<std::size_t>(n)) : std::string{};
}

// The pty a master descriptor serves, from the "tty-index:" line of its fdinfo.
std::optional<unsigned> masterIndex(int processDir, const char* fdName) {
  const std::string info = readSmallFile(processDir, std::string("fdinfo/") + fdName);
  constexpr std::string_view kKey = "tty-index:";
  const std::size_t at = info.find(kKey);
  if (at == std::string::npos) return std::nullopt;
  std::size_t digits = info.find_first_not_of(" \t", at + kKey.size());
  if (digits == std::string::npos) return std::nullopt;
  unsigned index = 0;
  auto [end, error] = std::from_chars(info.data() + digits, info.data() + info.size(), index);
  if (error != std::errc{}) return std::nullopt;
  return index;
}

std::string programName(int processDir) {
  std::string name = readSmallFile(processDir, "comm");
  while (!name.empty() && name.back() == '\n') name.pop_back();
  return name.empty() ? "?" : name;
}

std::optional<pid_t> processId(const char* name) {
  pid_t pid = 0;
  const char* end = name + std::strlen(name);
  auto [stop, error] = std::from_chars(name, end, pid);
  if (error != std::errc{} || stop != end) return std::nullopt;
  return pid;
}

}  // namespace

std::vector<PortHolder> findPortHolders(const std::string& devicePath, int ownDescriptor) {
  struct stat target {};
  if (::stat(devicePath.c_str(), &target) != 0 || !S_ISCHR(target.st_mode)) return {};
  const std::optional<unsigned> targetPty = ptyIndex(target.st_rdev);

  const pid_t self = ::getpid();
  std::vector<PortHolder> holders;
  Directory proc(AT_FDCWD, "/proc");
  if (!proc) return holders;
  while (const char* entry = proc.next()) {
    const std::optional<pid_t> pid = processId(entry);
    if (!pid) continue;
    Directory process(proc.fd(), entry);
    if (!process) continue;
    Directory fds(process.fd(), "fd");
    if (!fds) continue;  // gone, or not ours to look at
    bool holdsDevice = false;
    bool servesDevice = false;
    while (const char* fdName = fds.next()) {
      if (*pid == self && processId(fdName) == ownDescriptor) continue;
      // Sockets, pipes and event descriptors read as "socket:[...]" and the like; only a path
      // under /dev can be a serial device, and only those are worth a stat.
      char link[64];
      const ssize_t length = ::readlinkat(fds.fd(), fdName, link, sizeof link);
      if (length < 5 || std::string_view(link, 5) != "/dev/") continue;
      struct stat opened {};
      if (::fstatat(fds.fd(), fdName, &opened, 0) != 0 || !S_ISCHR(opened.st_mode)) continue;
      if (opened.st_rdev == target.st_rdev) {
        holdsDevice = true;
      } else if (targetPty && std::string_view(link, static_cast<std::size_t>(length)).ends_with("ptmx")) {
        servesDevice = servesDevice || masterIndex(process.fd(), fdName) == targetPty;
      }
    }
    if (holdsDevice && !servesDevice) holders.push_back({*pid, programName(process.fd())});
  }
  return holders;
}

}  // namespace orsa::link
