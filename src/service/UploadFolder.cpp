#include "service/UploadFolder.h"

#include "link/Utf8Path.h"
#include "settings/AsciiCase.h"

namespace orsa::service {

bool isUploadFileName(std::string_view name) { return settings::endsWithIgnoringAsciiCase(name, ".amr"); }

UploadList scanUploadFolder(const std::filesystem::path& folder, std::error_code& error) {
  namespace fs = std::filesystem;
  error.clear();
  UploadList list;
  fs::directory_iterator entries(folder, error);
  if (error) return {};
  for (; entries != fs::directory_iterator(); entries.increment(error)) {
    if (error) return {};
    const fs::directory_entry& entry = *entries;
    if (!isUploadFileName(link::pathText(entry.path().filename()))) continue;
    std::error_code entryError;
    if (!entry.is_regular_file(entryError)) continue;
    const std::uint64_t size = entry.file_size(entryError);
    if (entryError) continue;  // gone between the listing and the look at it
    list.files.push_back({link::pathText(entry.path()), size});
    list.totalSize += size;
  }
  if (error) return {};
  return list;
}

}  // namespace orsa::service
