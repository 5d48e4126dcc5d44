#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orsa::sim {

// The GSM modem's flash drive "C:": files in one folder, with a capacity. Names compare without
// regard to ASCII case, as on the modem's FAT-style file system; a file keeps the spelling it was
// created with.
class ModemDrive {
 public:
  using Files = std::map<std::string, std::vector<std::uint8_t>>;

  explicit ModemDrive(std::size_t capacity) : capacity_(capacity) {}

  // The file name in a path of the form C:\NAME; empty for another drive, a sub-folder, no name, or
  // a name with a control character or one of " , ; : / \ (which would end or split the argument
  // on the modem's command line).
  static std::optional<std::string> nameFromPath(std::string_view path);

  std::size_t capacity() const { return capacity_; }
  // A capacity below what the files hold already leaves them in place with no free space.
  void setCapacity(std::size_t bytes) { capacity_ = bytes; }
  std::size_t usedBytes() const;
  std::size_t freeBytes() const;

  bool contains(std::string_view name) const { return find(name) != files_.end(); }
  bool create(std::string_view name);  // false when a file of that name exists
  bool remove(std::string_view name);  // false when there is none
  // The bytes the named file holds; empty when there is no such file.
  std::optional<std::size_t> sizeOf(std::string_view name) const;
  // Whether `count` more bytes fit into the named file; replacing frees its old contents first.
  bool fits(std::string_view name, std::size_t count, bool replace) const;
  // Appends to or replaces the contents of an existing file; false (and nothing changed) when the
  // file is missing or the bytes do not fit.
  bool write(std::string_view name, std::span<const std::uint8_t> bytes, bool replace);

  const Files& files() const { return files_; }

 private:
  Files::const_iterator find(std::string_view name) const;

  std::size_t capacity_;
  Files files_;
};

}  // namespace orsa::sim
