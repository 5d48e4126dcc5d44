#include "cli/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace orsa::cli {

std::string writeFileAtomically(const std::string& path, std::string_view content) {
  std::string temporary = path + ".tmp-XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) return "cannot create a file beside " + path + ": " + std::strerror(errno);
  std::size_t done = 0;
  while (done < content.size()) {
    ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  fchmod(fd, 0644);
  const bool written = done == content.size() && fsync(fd) == 0;
  const int savedErrno = errno;
  ::close(fd);
  if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(written ? errno : savedErrno);
    std::remove(temporary.c_str());
    return "cannot write " + path + ": " + reason;
  }
  return {};
}

std::string readSmallFile(const std::string& path, std::size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
  std::string content(maxBytes + 1, '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (in.bad()) throw std::runtime_error("cannot read " + path);
  content.resize(static_cast<std::size_t>(in.gcount()));
  if (content.size() > maxBytes) throw std::runtime_error(path + " is larger than " + std::to_string(maxBytes) + " bytes");
  return content;
}

}  // namespace orsa::cli
