#include "cli/HelpWrap.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "cli/Terminal.h"

namespace orsa::cli {

namespace {

constexpr std::size_t kDefaultColumns = 80;
// Narrower than this, an indent would leave no room for words; the indent is given up instead.
constexpr std::size_t kLeastTextColumns = 20;
// How far the general help indents the commands it lists and the examples it gives.
constexpr std::size_t kCommandIndent = 2;

// Characters, not bytes: much of the help is Russian.
std::size_t width(std::string_view text) {
  std::size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

// The bytes of the first `characters` characters of `text`.
std::size_t bytesOf(std::string_view text, std::size_t characters) {
  std::size_t at = 0;
  while (at < text.size() && characters > 0) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    --characters;
  }
  return at;
}

// Where the continuation of a line starts: under the description of "  --opt TEXT   description" (two
// or more blanks after the first words), under the command of a usage line or a listed command's
// words, else under the line's first character.
std::size_t hangingIndent(std::string_view line) {
  // "usage: orsactl write [FILE.cfg | ...": the words go on under the command.
  constexpr std::string_view kUsage = "usage: ";
  if (line.starts_with(kUsage)) {
    const std::size_t program = line.find(' ', kUsage.size());
    if (program != std::string_view::npos) return width(line.substr(0, program + 1));
  }
  const std::size_t first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  const std::size_t gap = line.find("  ", first);
  if (gap != std::string_view::npos) {
    const std::size_t description = line.find_first_not_of(' ', gap);
    if (description != std::string_view::npos) return width(line.substr(0, description));
  }
  // "  service modem-on | ...": a command's usage, or an example, goes on under its second word, so
  // that no continuation looks like a command of its own.
  if (first == kCommandIndent) {
    const std::size_t second = line.find(' ', first);
    if (second != std::string_view::npos && second + 1 < line.size()) return width(line.substr(0, second + 1));
  }
  return width(line.substr(0, first));
}

void wrapLine(std::string_view line, std::size_t columns, std::string& out) {
  if (width(line) <= columns) {
    out.append(line).append("\n");
    return;
  }
  const auto fits = [columns](std::size_t indent) { return indent + kLeastTextColumns <= columns ? indent : 0; };
  const std::size_t indent = fits(hangingIndent(line));
  const std::size_t lead = std::min(line.find_first_not_of(' '), line.size());
  // The first line keeps its own leading blanks and the gap before a description; the lines under it
  // start at the indent, their words one blank apart.
  std::string current(fits(lead), ' ');
  std::size_t currentWidth = current.size();
  bool firstLine = true;
  bool lineHasWord = false;
  const auto flush = [&] {
    out.append(current).append("\n");
    current.assign(indent, ' ');
    currentWidth = indent;
    firstLine = false;
    lineHasWord = false;
  };
  std::string_view rest = line.substr(lead);
  while (!rest.empty()) {
    const std::size_t blanks = std::min(rest.find_first_not_of(' '), rest.size());
    rest.remove_prefix(blanks);
    if (rest.empty()) break;
    const std::size_t end = std::min(rest.find(' '), rest.size());
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    const std::size_t gap = lineHasWord ? (firstLine ? blanks : 1) : 0;
    if (lineHasWord && currentWidth + gap + width(word) > columns) flush();
    if (lineHasWord) {
      current.append(firstLine ? blanks : 1, ' ');
      currentWidth += firstLine ? blanks : 1;
    }
    // A word wider than a whole line is cut where the line ends.
    while (currentWidth + width(word) > columns) {
      const std::size_t cut = bytesOf(word, columns - currentWidth);
      current.append(word.substr(0, cut));
      word.remove_prefix(cut);
      flush();
    }
    current.append(word);
    currentWidth += width(word);
    lineHasWord = true;
  }
  out.append(current).append("\n");
}

}  // namespace

std::size_t helpColumns() {
  if (const char* text = std::getenv("COLUMNS"); text && *text) {
    std::size_t columns = 0;
    const std::string_view value(text);
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), columns);
    if (error == std::errc{} && end == value.data() + value.size() && columns > 0) return columns;
  }
  if (const auto columns = standardOutputColumns()) return *columns;
  return kDefaultColumns;
}

std::string wrapHelp(const std::string& help, std::size_t columns) {
  std::string out;
  std::string_view text(help);
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    wrapLine(text.substr(0, end), columns, out);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return out;
}

}  // namespace orsa::cli
