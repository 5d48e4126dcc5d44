#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace orsa::settings {

// How a file save ended.
struct FileWriteResult {
  enum class Failure {
    None,
    Open,   // the file could not be created or replaced; it is as it was
    Write,  // the bytes did not all reach the disk; the file is as it was
  };

  Failure failure = Failure::None;
  int error = 0;  // the system's error number for the failed step

  explicit operator bool() const { return failure == Failure::None; }
  // "Ошибка открытия файла" or "Ошибка записи файла" (UTF-8), for a box titled "Ошибка".
  std::string_view message() const;
  // The system's reason, for logs and the command-line tool.
  std::string detail() const;
};

// The one routine through which the program replaces a file's contents: the settings image of
// the window and of orsactl, orsactl's JSON, anything a command saves. Its contract:
//
// - Links: when `path` is a symbolic link (or a chain of them) the file it finally names is
//   replaced, and every link stays a link.
// - Refusal: an existing target must be a regular file that may be written. One without a write
//   bit for anyone is refused even when the system would let this user write it anyway (root),
//   so read-only files stay read-only for everybody; otherwise the effective user's right to
//   write it decides. A folder, a device or a pipe in the way is refused too.
// - Atomic: the bytes go to a temporary file in the target's own folder, are flushed to the
//   disk (fsync) and then renamed over the target, so a reader sees the old file or the whole
//   new one, never a part.
// - Mode kept: the replacement keeps the target's permission bits (and its owner and group as
//   far as the system lets this user give them); a new file gets 0666 less the umask, as any
//   newly created file does.
// - Failure: whatever fails, the target is left as it was and no temporary file stays behind.
// - Windows: a read-only attribute refuses the save, the replacement is one MoveFileExW, and
//   links and permissions are the file system's business (NTFS keeps no mode bits to carry over).
FileWriteResult writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> content);

inline FileWriteResult writeFileAtomically(const std::filesystem::path& path, std::string_view content) {
  return writeFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
}

}  // namespace orsa::settings
