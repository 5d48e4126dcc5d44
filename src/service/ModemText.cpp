#include "service/ModemText.h"

#include <algorithm>
#include <charconv>

namespace orsa::service {

bool answerHolds(std::string_view answerText, std::string_view needle) {
  return answerText.find(needle) != std::string_view::npos;
}

std::optional<std::int32_t> freeMemoryFromAnswer(std::string_view answerText) {
  if (!answerHolds(answerText, "\r\n")) return std::nullopt;
  constexpr std::string_view kMarker = "+FSMEM: C:";
  const auto at = answerText.find(kMarker);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view rest = answerText.substr(at + kMarker.size());
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
  if (error != std::errc{} || end == rest.data() || value < 0) return std::nullopt;
  return value;
}

bool isValidImei(std::string_view text) {
  if (text.size() != kImeiLength || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  int sum = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int digit = text[text.size() - 1 - i] - '0';
    if (i % 2 == 1) digit = digit * 2 > 9 ? digit * 2 - 9 : digit * 2;
    sum += digit;
  }
  return sum % 10 == 0;
}

std::optional<std::string> dialablePhoneNumber(std::string_view typed) {
  std::string number;
  for (const char c : typed) {
    if (c == ' ' || c == '-' || c == '(' || c == ')') continue;
    number.push_back(c);
  }
  const std::string_view body = std::string_view(number).substr(number.starts_with('+') ? 1 : 0);
  if (body.size() < 3 || body.size() > 20 || body.find_first_not_of("0123456789*#") != std::string_view::npos) {
    return std::nullopt;
  }
  return number;
}

bool isSafeModemFileName(std::string_view name) {
  return !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || std::string_view("\",;\\:").find(c) != std::string_view::npos;
  });
}

std::string modemFileName(std::string_view path) {
  const auto cut = path.find_last_of("/\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

}  // namespace orsa::service
