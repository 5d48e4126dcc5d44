#include "settings/IntegerConversionError.h"

#include <string_view>

#include "settings/SettingsMessages.h"

namespace orsa::settings {

namespace {

std::string formatMessage(const std::string& fieldText) {
  std::string message(messages::kNotAnInteger);
  const std::size_t marker = message.find("%s");
  message.replace(marker, 2, fieldText);
  return message;
}

}  // namespace

IntegerConversionError::IntegerConversionError(const std::string& fieldText)
    : std::runtime_error(formatMessage(fieldText)), fieldText_(fieldText) {}

}  // namespace orsa::settings
