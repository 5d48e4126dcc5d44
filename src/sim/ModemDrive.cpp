#include "sim/ModemDrive.h"

#include <algorithm>
#include <numeric>

namespace orsa::sim {

namespace {

char foldCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return foldCase(x) == foldCase(y); });
}

}  // namespace

std::optional<std::string> ModemDrive::nameFromPath(std::string_view path) {
  if (path.size() < 4 || foldCase(path[0]) != 'C' || path[1] != ':' || path[2] != '\\') {
    return std::nullopt;
  }
  const std::string_view name = path.substr(3);
  const bool plainName = std::none_of(name.begin(), name.end(), [](char c) {
    return std::string_view("\\/:\",;\x7F").find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20;
  });
  if (!plainName) {
    return std::nullopt;
  }
  return std::string(name);
}

std::size_t ModemDrive::usedBytes() const {
  return std::accumulate(files_.begin(), files_.end(), std::size_t{0},
                         [](std::size_t sum, const auto& file) { return sum + file.second.size(); });
}

std::size_t ModemDrive::freeBytes() const {
  const std::size_t used = usedBytes();
  return used >= capacity_ ? 0 : capacity_ - used;
}

ModemDrive::Files::const_iterator ModemDrive::find(std::string_view name) const {
  return std::find_if(files_.begin(), files_.end(), [&](const auto& file) { return sameName(file.first, name); });
}

std::optional<std::size_t> ModemDrive::sizeOf(std::string_view name) const {
  const auto it = find(name);
  if (it == files_.end()) {
    return std::nullopt;
  }
  return it->second.size();
}

bool ModemDrive::create(std::string_view name) {
  if (contains(name)) {
    return false;
  }
  files_.emplace(std::string(name), std::vector<std::uint8_t>{});
  return true;
}

bool ModemDrive::remove(std::string_view name) {
  const auto it = find(name);
  if (it == files_.end()) {
    return false;
  }
  files_.erase(it);
  return true;
}

bool ModemDrive::fits(std::string_view name, std::size_t count, bool replace) const {
  const auto it = find(name);
  const std::size_t released = replace && it != files_.end() ? it->second.size() : 0;
  return usedBytes() - released + count <= capacity_;
}

bool ModemDrive::write(std::string_view name, std::span<const std::uint8_t> bytes, bool replace) {
  const auto found = find(name);
  if (found == files_.end() || !fits(name, bytes.size(), replace)) {
    return false;
  }
  auto& contents = files_.at(found->first);
  if (replace) {
    contents.clear();
  }
  contents.insert(contents.end(), bytes.begin(), bytes.end());
  return true;
}

}  // namespace orsa::sim
