#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "settings/AtomicFileWrite.h"

namespace orsa::service {

// "config.ini", where the service window keeps its upload folder, the GNSS module's file paths
// and the test phone number between runs. It is an ordinary INI file that people and earlier
// programs edit too, so it is read the way the Windows profile functions read one: section and
// key names match without regard to letter case, blanks around names and values do not count,
// the first of two equal sections or keys wins. Values are kept as the file's own bytes
// (Windows-1251); the caller converts them for the screen.
class ConfigIni {
 public:
  static constexpr std::string_view kSection = "config";
  static constexpr std::string_view kDirectory = "Directory";
  static constexpr std::string_view kDaPath = "DAPath";
  // Written under this spelling and looked up as "FirmwarePAth"; with names matched without
  // regard to case both name the same key.
  static constexpr std::string_view kFirmwarePath = "FirmwarePath";
  static constexpr std::string_view kFirmwarePathAsRead = "FirmwarePAth";
  static constexpr std::string_view kPhone = "Phone";

  struct Values {
    std::string directory;
    std::string daPath;
    std::string firmwarePath;
    std::string phone;
  };

  explicit ConfigIni(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& path() const { return path_; }

  // The four values of the section "config"; a missing file, section or key reads as empty.
  Values load() const;

  // One key of the section "config"; empty when it is not there or the file cannot be read.
  std::string read(std::string_view key) const;

  // Sets one key of the section "config" on the disk at once, in one atomic replacement of the
  // file (created with its folder when missing). Every other line of the file stays as it was.
  // An existing file that cannot be read is refused rather than replaced by a file holding only
  // this key. A value with a line break would split into lines of its own and is refused with
  // std::invalid_argument before anything is written.
  settings::FileWriteResult write(std::string_view key, std::string_view value) const;

  // What load() and write() do with the file's bytes, for bytes already in memory.
  static Values parse(std::string_view bytes);
  static std::string withValue(std::string_view bytes, std::string_view key, std::string_view value);

 private:
  std::filesystem::path path_;
};

}  // namespace orsa::service
