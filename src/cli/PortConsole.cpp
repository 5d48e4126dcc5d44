#include "cli/PortConsole.h"

#include <string_view>

namespace orsa::cli {

void PortConsole::Buffer::put(char ch) {
  if (ch == '\r') {
    line.clear();
  } else if (ch == '\n') {
    kept += line;
    kept += '\n';
    line.clear();
  } else {
    line += ch;
  }
}

PortConsole::Buffer::int_type PortConsole::Buffer::overflow(int_type ch) {
  if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
  const std::lock_guard guard(lock);
  put(traits_type::to_char_type(ch));
  return ch;
}

std::streamsize PortConsole::Buffer::xsputn(const char* s, std::streamsize count) {
  const std::lock_guard guard(lock);
  for (std::streamsize i = 0; i < count; ++i) put(s[i]);
  return count;
}

std::string PortConsole::text() const {
  const std::lock_guard guard(buffer_.lock);
  return buffer_.kept;
}

std::string PortConsole::lastLine() const {
  const std::lock_guard guard(buffer_.lock);
  if (buffer_.kept.empty()) return {};
  std::string_view text(buffer_.kept);
  text.remove_suffix(1);  // every kept line ends with its line feed
  const auto start = text.rfind('\n');
  return std::string(start == std::string_view::npos ? text : text.substr(start + 1));
}

std::string PortConsole::currentLine() const {
  {
    const std::lock_guard guard(buffer_.lock);
    if (!buffer_.line.empty()) return buffer_.line;
  }
  return lastLine();
}

}  // namespace orsa::cli
