// The Windows half of the one safe file write: a temporary file beside the target, flushed to the
// disk and moved over the target with MoveFileExW, which replaces it in one step on NTFS.
// Error numbers are mapped to their errno counterparts, so both platforms report alike.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "settings/AtomicFileWrite.h"
#include "settings/TemporaryName.h"

namespace orsa::settings {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxNameTries = 100;

int errnoFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EBUSY;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    default:
      return EIO;
  }
}

FileWriteResult openFailure(int error) { return {FileWriteResult::Failure::Open, error}; }
FileWriteResult writeFailure(int error) { return {FileWriteResult::Failure::Write, error}; }

bool writeAll(HANDLE file, std::span<const std::uint8_t> content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, content.data() + done, chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    done += written;
  }
  return true;
}

}  // namespace

FileWriteResult writeFileAtomically(const fs::path& path, std::span<const std::uint8_t> content) {
  // An existing target must be a plain file that may be written: read-only stays read-only.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return openFailure(errnoFor(error));
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    return openFailure(EISDIR);
  } else if (attributes & FILE_ATTRIBUTE_READONLY) {
    return openFailure(EACCES);
  }

  fs::path temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kMaxNameTries && file == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = temporaryNameBeside(path);
    file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
      return openFailure(errnoFor(GetLastError()));
    }
  }
  if (file == INVALID_HANDLE_VALUE) return openFailure(EEXIST);

  // The move must not publish a name whose bytes are still only in the cache.
  bool ok = writeAll(file, content) && FlushFileBuffers(file);
  const DWORD failedWith = ok ? 0 : GetLastError();
  CloseHandle(file);
  if (!ok) {
    DeleteFileW(temporary.c_str());
    return writeFailure(errnoFor(failedWith));
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD moveError = GetLastError();
    DeleteFileW(temporary.c_str());
    return openFailure(errnoFor(moveError));
  }
  return {};
}

}  // namespace orsa::settings
