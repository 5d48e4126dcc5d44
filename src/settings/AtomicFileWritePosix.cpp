// The POSIX half of the one safe file write: rename(2) over the target after fsync.
#include "settings/AtomicFileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>

#include "settings/TemporaryName.h"

namespace orsa::settings {

namespace {

namespace fs = std::filesystem;

// As many links as the system itself follows before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;
constexpr int kMaxNameTries = 100;

FileWriteResult openFailure(int error) { return {FileWriteResult::Failure::Open, error}; }
FileWriteResult writeFailure(int error) { return {FileWriteResult::Failure::Write, error}; }

// The name the links starting at `path` finally lead to; it need not exist yet (a new file, or
// the missing target of a dangling link, which is then created where the link points).
std::optional<fs::path> followLinks(fs::path path, int& error) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
      if (errno == ENOENT) {
        return path;
      }
      error = errno;
      return std::nullopt;
    }
    if (!S_ISLNK(status.st_mode)) {
      return path;
    }
    std::error_code readError;
    const fs::path next = fs::read_symlink(path, readError);
    if (readError) {
      error = readError.value();
      return std::nullopt;
    }
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  error = ELOOP;
  return std::nullopt;
}

// 0 when an existing target may be replaced, else the reason as an error number.
int refusalOf(const fs::path& target, const struct stat& status) {
  if (S_ISDIR(status.st_mode)) {
    return EISDIR;
  }
  if (!S_ISREG(status.st_mode)) {
    return EPERM;
  }
  // Root passes every access check, so the bits themselves decide for a read-only file.
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    return EACCES;
  }
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    return errno;
  }
  return 0;
}

bool writeAll(int fd, std::span<const std::uint8_t> content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      if (n == 0) {
        errno = EIO;
      }
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Once the rename is done the new name should survive a power cut too; a folder that cannot
// be synced changes nothing about the outcome.
void syncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

FileWriteResult writeFileAtomically(const fs::path& path, std::span<const std::uint8_t> content) {
  int error = 0;
  const std::optional<fs::path> target = followLinks(path, error);
  if (!target) {
    return openFailure(error);
  }

  struct stat existing {};
  const bool exists = ::stat(target->c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) {
    return openFailure(errno);
  }
  if (exists) {
    if (const int refusal = refusalOf(*target, existing); refusal != 0) {
      return openFailure(refusal);
    }
  }

  // A new file is created with 0666 so that the umask shapes its mode as for any other file;
  // a replacement starts private and takes the old file's mode before it gets its name.
  fs::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kMaxNameTries && fd < 0; ++attempt) {
    temporary = temporaryNameBeside(*target);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
    if (fd < 0 && errno != EEXIST) {
      return openFailure(errno);
    }
  }
  if (fd < 0) {
    return openFailure(EEXIST);
  }

  bool ok = writeAll(fd, content);
  int failedWith = ok ? 0 : errno;
  if (ok && exists) {
    // The owner first: a change of owner clears the set-id bits that the mode then restores.
    const bool foreign = existing.st_uid != ::geteuid() || existing.st_gid != ::getegid();
    if (foreign && ::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
      // Only root may give a file away; for anybody else the replacement stays theirs.
    }
    if (::fchmod(fd, existing.st_mode & 07777) != 0) {
      ok = false;
      failedWith = errno;
    }
  }
  // The rename must not publish a name whose bytes are still only in the cache.
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    failedWith = errno;
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    failedWith = errno;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    return writeFailure(failedWith);
  }
  if (::rename(temporary.c_str(), target->c_str()) != 0) {
    const int renameError = errno;
    ::unlink(temporary.c_str());
    return openFailure(renameError);
  }
  syncFolder(target->parent_path());
  return {};
}

}  // namespace orsa::settings
