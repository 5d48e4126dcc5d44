#include "service/ConfigIni.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "settings/AsciiCase.h"

namespace orsa::service {

namespace {

namespace fs = std::filesystem;
using settings::FileWriteResult;

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

struct Line {
  std::string text;    // without its line break
  std::string ending;  // "\r\n", "\n", or for a last line "\r" when cut before its LF, or empty
};

struct Contents {
  std::vector<Line> lines;
  std::string lineBreak = "\r\n";  // what new lines get: the file's own, else the INI custom
};

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The line as the parser sees it: a byte-order mark at the file's start is not part of a name.
std::string_view parsedText(const Contents& contents, std::size_t index) {
  std::string_view text = contents.lines[index].text;
  if (index == 0 && text.starts_with(kUtf8Mark)) {
    text.remove_prefix(kUtf8Mark.size());
  }
  return text;
}

std::optional<std::string_view> sectionNameOf(std::string_view line) {
  const std::string_view text = trimmed(line);
  if (!text.starts_with('[')) {
    return std::nullopt;
  }
  const std::string_view inside = text.substr(1);
  return trimmed(inside.substr(0, inside.find(']')));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> keyLineOf(std::string_view line) {
  const auto equals = line.find('=');
  if (equals == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view key = trimmed(line.substr(0, equals));
  if (key.empty()) {
    return std::nullopt;
  }
  return KeyLine{key, trimmed(line.substr(equals + 1))};
}

Contents split(std::string_view bytes) {
  Contents contents;
  if (bytes.find("\r\n") == std::string::npos && bytes.find('\n') != std::string::npos) {
    contents.lineBreak = "\n";
  }
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find('\n', start);
    if (end == std::string::npos) {
      // A file cut between the CR and the LF of its last line: the CR ends the line, it is no part of a value.
      const bool withReturn = bytes.back() == '\r';
      contents.lines.push_back(
          {std::string(bytes.substr(start, bytes.size() - start - (withReturn ? 1 : 0))), withReturn ? "\r" : ""});
      break;
    }
    const bool withReturn = end > start && bytes[end - 1] == '\r';
    contents.lines.push_back(
        {std::string(bytes.substr(start, end - start - (withReturn ? 1 : 0))), withReturn ? "\r\n" : "\n"});
    start = end + 1;
  }
  return contents;
}

std::string joined(const Contents& contents) {
  std::string bytes;
  for (const Line& line : contents.lines) {
    bytes += line.text;
    bytes += line.ending;
  }
  return bytes;
}

// The file's bytes; a missing file is an empty one. nullopt (with the reason) when it exists but
// cannot be read.
std::optional<std::string> readBytes(const fs::path& path, int& error) {
  std::error_code statusError;
  if (!fs::exists(path, statusError)) {
    if (!statusError) {
      return std::string();
    }
    error = statusError.value();
    return std::nullopt;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = errno != 0 ? errno : EACCES;
    return std::nullopt;
  }
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    error = EIO;
    return std::nullopt;
  }
  return bytes;
}

struct Place {
  std::optional<std::size_t> section;  // the header line
  std::optional<std::size_t> key;      // the key's line within that section
  std::size_t lastFilled = 0;          // the section's last non-blank line
};

Place find(const Contents& contents, std::string_view section, std::string_view key) {
  Place place;
  for (std::size_t i = 0; i < contents.lines.size(); ++i) {
    const std::string_view text = parsedText(contents, i);
    if (const auto name = sectionNameOf(text)) {
      if (place.section) {
        break;
      }
      if (settings::equalsIgnoringAsciiCase(*name, section)) {
        place.section = i;
        place.lastFilled = i;
      }
      continue;
    }
    if (!place.section) {
      continue;
    }
    if (!trimmed(text).empty()) {
      place.lastFilled = i;
    }
    const auto line = keyLineOf(text);
    if (line && settings::equalsIgnoringAsciiCase(line->key, key)) {
      place.key = i;
      break;
    }
  }
  return place;
}

std::string readValue(const Contents& contents, std::string_view section, std::string_view key) {
  const Place place = find(contents, section, key);
  if (!place.key) {
    return {};
  }
  std::string_view value = keyLineOf(parsedText(contents, *place.key))->value;
  // Quotes around a whole value keep its blanks when people write them; they are not part of it.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

void insertLine(Contents& contents, std::size_t at, std::string text) {
  if (at > 0 && contents.lines[at - 1].ending.empty()) {
    contents.lines[at - 1].ending = contents.lineBreak;
  } else if (at > 0 && contents.lines[at - 1].ending == "\r") {
    contents.lines[at - 1].ending = "\r\n";
  }
  contents.lines.insert(contents.lines.begin() + static_cast<std::ptrdiff_t>(at),
                        {std::move(text), contents.lineBreak});
}

}  // namespace

ConfigIni::Values ConfigIni::load() const {
  int error = 0;
  return parse(readBytes(path_, error).value_or(std::string()));
}

ConfigIni::Values ConfigIni::parse(std::string_view bytes) {
  const Contents contents = split(bytes);
  return {readValue(contents, kSection, kDirectory), readValue(contents, kSection, kDaPath),
          readValue(contents, kSection, kFirmwarePathAsRead), readValue(contents, kSection, kPhone)};
}

std::string ConfigIni::read(std::string_view key) const {
  int error = 0;
  return readValue(split(readBytes(path_, error).value_or(std::string())), kSection, key);
}

FileWriteResult ConfigIni::write(std::string_view key, std::string_view value) const {
  if (value.find_first_of("\r\n") != std::string_view::npos) {
    throw std::invalid_argument("a config.ini value cannot hold a line break");
  }
  int error = 0;
  const std::optional<std::string> bytes = readBytes(path_, error);
  if (!bytes) {
    return {FileWriteResult::Failure::Open, error};
  }
  const fs::path folder = path_.parent_path();
  std::error_code folderError;
  if (!folder.empty() && !fs::exists(folder, folderError)) {
    fs::create_directories(folder, folderError);
    if (folderError) {
      return {FileWriteResult::Failure::Open, folderError.value()};
    }
  }
  return settings::writeFileAtomically(path_, withValue(*bytes, key, value));
}

std::string ConfigIni::withValue(std::string_view bytes, std::string_view key, std::string_view value) {
  Contents contents = split(bytes);
  const Place place = find(contents, kSection, key);
  if (place.key) {
    const std::string storedKey(keyLineOf(parsedText(contents, *place.key))->key);
    const std::string mark =
        *place.key == 0 && contents.lines[0].text.starts_with(kUtf8Mark) ? std::string(kUtf8Mark) : std::string();
    contents.lines[*place.key].text = mark + storedKey + "=" + std::string(value);
  } else if (place.section) {
    insertLine(contents, place.lastFilled + 1, std::string(key) + "=" + std::string(value));
  } else {
    if (!contents.lines.empty() && !trimmed(contents.lines.back().text).empty()) {
      insertLine(contents, contents.lines.size(), std::string());
    }
    insertLine(contents, contents.lines.size(), "[" + std::string(kSection) + "]");
    insertLine(contents, contents.lines.size(), std::string(key) + "=" + std::string(value));
  }

  return joined(contents);
}

}  // namespace orsa::service
