#include "cli/Json.h"

#include <charconv>
#include <cstdio>

namespace orsa::cli {

namespace {

constexpr int kMaxDepth = 32;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  JsonValue document() {
    JsonValue value = parseValue(0);
    skipSpace();
    if (at_ != text_.size()) fail("unexpected text after the end");
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw JsonError("invalid JSON at byte " + std::to_string(at_) + ": " + what);
  }
  void skipSpace() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }
  bool consume(char c) {
    skipSpace();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  void expect(char c) {
    if (!consume(c)) fail(std::string("expected '") + c + "'");
  }
  bool consumeWord(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  JsonValue parseValue(int depth) {
    if (depth > kMaxDepth) fail("nested too deeply");
    skipSpace();
    if (at_ >= text_.size()) fail("unexpected end");
    char c = text_[at_];
    if (c == '{') return parseObject(depth);
    if (c == '[') return parseArray(depth);
    if (c == '"') return {parseString()};
    if (consumeWord("true")) return {true};
    if (consumeWord("false")) return {false};
    if (consumeWord("null")) return {nullptr};
    return {parseNumber()};
  }

  JsonValue parseObject(int depth) {
    ++at_;
    JsonValue::Object object;
    if (consume('}')) return {std::move(object)};
    do {
      skipSpace();
      if (at_ >= text_.size() || text_[at_] != '"') fail("expected a name in quotes");
      std::string name = parseString();
      expect(':');
      if (!object.emplace(name, parseValue(depth + 1)).second) fail("\"" + name + "\" appears twice");
    } while (consume(','));
    expect('}');
    return {std::move(object)};
  }

  JsonValue parseArray(int depth) {
    ++at_;
    JsonValue::Array array;
    if (consume(']')) return {std::move(array)};
    do {
      array.push_back(parseValue(depth + 1));
    } while (consume(','));
    expect(']');
    return {std::move(array)};
  }

  double parseNumber() {
    std::size_t start = at_;
    while (at_ < text_.size() && std::string_view("+-0123456789.eE").find(text_[at_]) != std::string_view::npos) ++at_;
    double number = 0;
    auto [end, error] = std::from_chars(text_.data() + start, text_.data() + at_, number);
    if (start == at_ || error != std::errc{} || end != text_.data() + at_) {
      at_ = start;
      fail("expected a value");
    }
    return number;
  }

  unsigned hex4() {
    if (at_ + 4 > text_.size()) fail("short \\u escape");
    unsigned value = 0;
    auto [end, error] = std::from_chars(text_.data() + at_, text_.data() + at_ + 4, value, 16);
    if (error != std::errc{} || end != text_.data() + at_ + 4) fail("bad \\u escape");
    at_ += 4;
    return value;
  }

  static void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  std::string parseString() {
    ++at_;
    std::string out;
    for (;;) {
      if (at_ >= text_.size()) fail("unterminated string");
      char c = text_[at_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) fail("control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) fail("unterminated escape");
      char e = text_[at_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          char32_t cp = hex4();
          if (cp >= 0xD800 && cp < 0xDC00) {
            if (!consumeWord("\\u")) fail("lone surrogate");
            unsigned low = hex4();
            if (low < 0xDC00 || low >= 0xE000) fail("lone surrogate");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp < 0xE000) {
            fail("lone surrogate");
          }
          appendUtf8(out, cp);
          break;
        }
        default:
          fail("unknown escape");
      }
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

JsonValue parseJson(std::string_view text) { return Parser(text).document(); }

std::string jsonQuote(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
          out += escape;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace orsa::cli
