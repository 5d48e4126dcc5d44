#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orsa::cli {

// A small JSON reader and the string quoting the writers need: enough for settings files and
// port lists, strict about what it accepts, bounded in nesting.
class JsonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct JsonValue {
  using Object = std::map<std::string, JsonValue, std::less<>>;
  using Array = std::vector<JsonValue>;
  std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value;

  bool isObject() const { return std::holds_alternative<Object>(value); }
  bool isString() const { return std::holds_alternative<std::string>(value); }
  const Object& object() const { return std::get<Object>(value); }
  const std::string& string() const { return std::get<std::string>(value); }
};

// Parses UTF-8 JSON text; throws JsonError with the byte offset of the first problem.
JsonValue parseJson(std::string_view text);

// "text" with the escapes JSON needs; the text must be UTF-8.
std::string jsonQuote(std::string_view utf8);

}  // namespace orsa::cli
