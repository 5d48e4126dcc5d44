#include "link/PortHolders.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

namespace orsa::link {

namespace {

namespace fs = std::filesystem;

constexpr unsigned kPtySlaveMajorFirst = 136;  // Unix98 pty slaves use majors 136..143
constexpr unsigned kPtySlaveMajorLast = 143;

std::optional<unsigned> ptyIndex(dev_t device) {
  const unsigned majorNumber = major(device);
  if (majorNumber < kPtySlaveMajorFirst || majorNumber > kPtySlaveMajorLast) return std::nullopt;
  return (majorNumber - kPtySlaveMajorFirst) * 256 + minor(device);
}

// The pty a master descriptor serves, from the "tty-index:" line of its fdinfo.
std::optional<unsigned> masterIndex(const fs::path& fdinfo) {
  std::ifstream in(fdinfo);
  std::string line;
  while (std::getline(in, line)) {
    constexpr std::string_view kKey = "tty-index:";
    if (line.rfind(kKey, 0) != 0) continue;
    std::size_t at = kKey.size();
    while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
    unsigned index = 0;
    auto [end, error] = std::from_chars(line.data() + at, line.data() + line.size(), index);
    if (error != std::errc{}) return std::nullopt;
    return index;
  }
  return std::nullopt;
}

std::string programName(const fs::path& processDir) {
  std::ifstream in(processDir / "comm");
  std::string name;
  std::getline(in, name);
  return name.empty() ? "?" : name;
}

bool isProcessDir(const fs::directory_entry& entry) {
  const std::string name = entry.path().filename().string();
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::vector<PortHolder> findPortHolders(const std::string& devicePath) {
  struct stat target {};
  if (::stat(devicePath.c_str(), &target) != 0 || !S_ISCHR(target.st_mode)) return {};
  const std::optional<unsigned> targetPty = ptyIndex(target.st_rdev);

  std::vector<PortHolder> holders;
  std::error_code ec;
  for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
    if (!isProcessDir(*proc)) continue;
    bool holdsDevice = false;
    bool servesDevice = false;
    std::error_code fdError;
    for (fs::directory_iterator fd(proc->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
         fd.increment(fdError)) {
      // Sockets, pipes and event descriptors read as "socket:[...]" and the like; only a path can
      // be a device, and only those are worth a stat.
      std::error_code linkError;
      const fs::path opened = fs::read_symlink(fd->path(), linkError);
      if (linkError || !opened.is_absolute()) continue;
      struct stat status {};
      if (::stat(fd->path().c_str(), &status) != 0 || !S_ISCHR(status.st_mode)) continue;
      if (status.st_rdev == target.st_rdev) {
        holdsDevice = true;
      } else if (targetPty && opened.filename() == "ptmx") {
        servesDevice = servesDevice || masterIndex(proc->path() / "fdinfo" / fd->path().filename()) == targetPty;
      }
    }
    if (holdsDevice && !servesDevice) {
      holders.push_back({static_cast<pid_t>(std::stol(proc->path().filename().string())), programName(proc->path())});
    }
  }
  return holders;
}

}  // namespace orsa::link
