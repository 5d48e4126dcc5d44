#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace orsa::service {

// One file to copy into the modem, with its size when it was listed: the upload refuses a file
// that has changed since, before it touches the modem.
struct UploadFile {
  std::string path;  // UTF-8
  std::uint64_t size = 0;
  bool operator==(const UploadFile&) const = default;
};

struct UploadList {
  std::vector<UploadFile> files;
  std::uint64_t totalSize = 0;
};

// Whether a file name matches "*.AMR" the way the technician's folder listing does: the extension
// in any letter case, the rest anything (a name of just ".AMR" too).
bool isUploadFileName(std::string_view name);

// Every file of `folder` matching "*.AMR", hidden and read-only ones included, in the order the
// folder lists them (not sorted), with the sizes summed. Folders and other non-files are left
// out. On error (no such folder, no permission) returns an empty list with `error` set.
UploadList scanUploadFolder(const std::filesystem::path& folder, std::error_code& error);

}  // namespace orsa::service
