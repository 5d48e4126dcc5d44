#include "cli/SettingsJson.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <utility>

#include "cli/Suggest.h"
#include "settings/Cp1251.h"
#include "settings/SettingsFile.h"

namespace orsa::cli {

using settings::SlotId;

namespace {

// Keeps the names in the order the file or the record has them, so a saved file reads like the table.
using Json = nlohmann::ordered_json;

// "[json.exception.parse_error.101] parse error at line 1, column 16: ..." without the bracketed tag.
std::string withoutTag(const std::string& what) {
  const auto end = what.find("] ");
  return what.rfind("[json.exception.", 0) == 0 && end != std::string::npos ? what.substr(end + 2) : what;
}

// A text a person gave for a slot: a text as it is, a whole number or a yes/no as its words.
std::string valueText(const std::string& name, const Json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer()) return value.dump();
  if (value.is_boolean()) return value.get<bool>() ? "yes" : "no";
  throw std::runtime_error(name + ": значение должно быть текстом, целым числом или true/false");
}

}  // namespace

std::string unknownSettingMessage(std::string_view name) {
  std::vector<std::string> names;
  for (SlotId slot : allSlots()) names.emplace_back(settings::slotName(slot));
  const std::string message = "unknown setting \"" + std::string(name) + "\"";
  if (const auto meant = closestName(name, names)) return message + "; did you mean " + *meant + "?";
  return message + " (orsactl settings lists them)";
}

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
  Json json = Json::object();
  for (SlotId slot : slots) json[std::string(settings::slotName(slot))] = settings::Cp1251::toUtf8(record.text(slot));
  return json.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

std::string slotTextFromUtf8(SlotId slot, std::string_view utf8) {
  const std::string name(settings::slotName(slot));
  auto converted = settings::Cp1251::fromUtf8Strict(utf8);
  if (!converted.ok()) throw std::runtime_error(name + ": " + converted.errorText());
  if (converted.bytes.find('\0') != std::string::npos) throw std::runtime_error(name + ": в тексте нулевой символ");
  if (converted.bytes.size() > settings::SettingsRecord::kMaxTextLength) {
    throw std::runtime_error(name + ": \"" + std::string(utf8) + "\": " + std::to_string(converted.bytes.size()) +
                             " символов, а в ячейку входит не больше 31");
  }
  return converted.bytes;
}

std::vector<SlotId> applyJson(std::string_view json, settings::SettingsRecord& record) {
  // A name given twice would leave one of its texts unwritten without a word; such a file is refused.
  std::set<std::string> names;
  std::string twice;
  const Json::parser_callback_t noNameTwice = [&](int depth, Json::parse_event_t event, Json& parsed) {
    if (depth == 1 && event == Json::parse_event_t::key && parsed.is_string() &&
        !names.insert(parsed.get<std::string>()).second && twice.empty()) {
      twice = parsed.get<std::string>();
    }
    return true;
  };
  Json document;
  try {
    document = Json::parse(json, noNameTwice);
  } catch (const Json::exception& error) {  // a syntax error, or a number beyond a double's range
    throw std::runtime_error("ошибка в JSON: " + withoutTag(error.what()));
  }
  if (!document.is_object()) throw std::runtime_error("настройки в JSON — это объект из имён ячеек и их текстов");
  if (!twice.empty()) throw std::runtime_error("\"" + twice + "\" указано дважды");
  std::vector<std::pair<SlotId, std::string>> texts;
  for (const auto& [name, value] : document.items()) {
    auto slot = settings::slotByName(name);
    if (!slot) throw std::runtime_error(unknownSettingMessage(name));
    texts.emplace_back(*slot, slotTextFromUtf8(*slot, valueText(name, value)));
  }
  std::vector<SlotId> named;
  for (const auto& [slot, text] : texts) {
    record.setText(slot, text);
    named.push_back(slot);
  }
  return named;
}

}  // namespace orsa::cli
