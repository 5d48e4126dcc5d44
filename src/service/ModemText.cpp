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

std::optional<std::string> imeiFromAnswer(std::span<const std::uint8_t> buffer) {
  const auto textEnd = std::find(buffer.begin(), buffer.end(), std::uint8_t{0});
  const auto digit = std::find_if(buffer.begin(), textEnd, [](std::uint8_t c) { return c >= '0' && c <= '9'; });
  if (digit == textEnd) return std::nullopt;
  std::string imei(kImeiLength, '\0');
  const auto available = static_cast<std::size_t>(buffer.end() - digit);
  std::copy_n(digit, std::min(available, kImeiLength), imei.begin());
  return imei;
}

std::string modemFileName(std::string_view path) {
  const auto cut = path.find_last_of("/\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

}  // namespace orsa::service
