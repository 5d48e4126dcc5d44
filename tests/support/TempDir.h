#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace orsa::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "orsa-test-")
      : path_(std::filesystem::temp_directory_path() / (prefix + std::to_string(std::random_device{}()))) {
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // `name` is UTF-8, as the program's text is (a narrow path would take the system's code page on Windows).
  std::filesystem::path operator/(const std::string& name) const {
    return path_ / std::u8string(name.begin(), name.end());
  }

 private:
  std::filesystem::path path_;
};

// The whole file, or nothing when it cannot be read.
inline std::string fileContents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path) {
  const std::string contents = fileContents(path);
  return {contents.begin(), contents.end()};
}

}  // namespace orsa::testing
