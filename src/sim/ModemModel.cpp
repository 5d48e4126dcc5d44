#include "sim/ModemModel.h"

#include <algorithm>
#include <string_view>

namespace orsa::sim {

namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

bool equals(std::span<const std::uint8_t> data, std::string_view text) {
  return std::equal(data.begin(), data.end(), text.begin(), text.end(),
                    [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
}

}  // namespace

std::vector<std::uint8_t> BasicModemModel::onData(std::span<const std::uint8_t> data) {
  if (equals(data, "AT\r\n") || equals(data, "ATE0\r\n")) {
    return bytesOf("\r\nOK\r\n");
  }
  return bytesOf("\r\nERROR\r\n");
}

}  // namespace orsa::sim
