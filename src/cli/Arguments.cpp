#include "cli/Arguments.h"

#include <charconv>

namespace orsa::cli {

bool Arguments::flag(const std::string& name) {
  for (auto it = words_.begin(); it != words_.end(); ++it) {
    if (*it == name) {
      words_.erase(it);
      return true;
    }
  }
  return false;
}

std::optional<std::string> Arguments::option(const std::string& name) {
  auto all = options(name);
  if (all.size() > 1) throw UsageError(name + " is given more than once");
  if (all.empty()) return std::nullopt;
  return all.front();
}

std::vector<std::string> Arguments::options(const std::string& name) {
  std::vector<std::string> values;
  const std::string withEquals = name + "=";
  for (std::size_t i = 0; i < words_.size();) {
    if (words_[i] == name) {
      if (i + 1 >= words_.size()) throw UsageError(name + " needs a value");
      values.push_back(words_[i + 1]);
      words_.erase(words_.begin() + static_cast<std::ptrdiff_t>(i),
                   words_.begin() + static_cast<std::ptrdiff_t>(i + 2));
    } else if (words_[i].rfind(withEquals, 0) == 0) {
      values.push_back(words_[i].substr(withEquals.size()));
      words_.erase(words_.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
  return values;
}

std::vector<std::string> Arguments::positionals() const {
  for (const auto& word : words_) {
    if (word.size() > 2 && word.rfind("--", 0) == 0) throw UsageError("unknown option " + word);
  }
  return words_;
}

std::uint64_t parseNumber(const std::string& text, const std::string& what, std::uint64_t max) {
  int base = 10;
  std::string_view digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || value > max) {
    throw UsageError(what + " must be a number from 0 to " + std::to_string(max) + ", not \"" + text + "\"");
  }
  return value;
}

}  // namespace orsa::cli
