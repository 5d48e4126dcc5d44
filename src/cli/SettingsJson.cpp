#include "cli/SettingsJson.h"

#include <stdexcept>
#include <utility>

#include "cli/Json.h"
#include "settings/Cp1251.h"
#include "settings/SettingsFile.h"

namespace orsa::cli {

using settings::SlotId;

std::vector<SlotId> allSlots() {
  std::vector<SlotId> slots;
  for (std::size_t i = 0; i < settings::kSlotCount; ++i) slots.push_back(static_cast<SlotId>(i));
  return slots;
}

std::vector<SlotId> fileSlots() {
  // What a .cfg file image holds: the record's user slots except the additional server and the constants.
  std::vector<SlotId> slots;
  for (SlotId slot : allSlots()) {
    auto i = settings::indexOf(slot);
    if (i <= 7 || i == 12 || i == 13 || (i >= 15 && i <= 23)) slots.push_back(slot);
  }
  return slots;
}

std::string recordToJson(const settings::SettingsRecord& record, const std::vector<SlotId>& slots) {
  std::string json = "{\n";
  for (std::size_t i = 0; i < slots.size(); ++i) {
    json += "  " + jsonQuote(settings::slotName(slots[i])) + ": " +
            jsonQuote(settings::Cp1251::toUtf8(record.text(slots[i]))) + (i + 1 < slots.size() ? ",\n" : "\n");
  }
  return json + "}\n";
}

std::string slotTextFromUtf8(SlotId slot, std::string_view utf8) {
  const std::string name(settings::slotName(slot));
  auto converted = settings::Cp1251::fromUtf8Strict(utf8);
  if (!converted.ok()) throw std::runtime_error(name + ": " + converted.errorText());
  if (converted.bytes.find('\0') != std::string::npos)
    throw std::runtime_error(name + ": the text holds a zero character");
  if (converted.bytes.size() > settings::SettingsRecord::kMaxTextLength) {
    throw std::runtime_error(name + ": \"" + std::string(utf8) + "\" has " + std::to_string(converted.bytes.size()) +
                             " characters; a slot holds at most 31");
  }
  return converted.bytes;
}

std::vector<SlotId> applyJson(std::string_view json, settings::SettingsRecord& record) {
  JsonValue document;
  try {
    document = parseJson(json);
  } catch (const JsonError& error) {
    throw std::runtime_error(error.what());
  }
  if (!document.isObject()) throw std::runtime_error("the settings must be a JSON object of slot names and texts");
  std::vector<std::pair<SlotId, std::string>> texts;
  for (const auto& [name, value] : document.object()) {
    auto slot = settings::slotByName(name);
    if (!slot) throw std::runtime_error("unknown slot \"" + name + "\"");
    if (!value.isString()) throw std::runtime_error(name + ": the value must be a text in quotes");
    texts.emplace_back(*slot, slotTextFromUtf8(*slot, value.string()));
  }
  std::vector<SlotId> named;
  for (const auto& [slot, text] : texts) {
    record.setText(slot, text);
    named.push_back(slot);
  }
  return named;
}

}  // namespace orsa::cli
