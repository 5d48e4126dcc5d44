#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "settings/Cp1251.h"
#include "settings/SettingsRecord.h"
#include "settings/SlotRules.h"

namespace orsa::cli {

namespace {

using settings::SlotRule;

const char* kindName(SlotRule::Kind kind) {
  switch (kind) {
    case SlotRule::Kind::Text:
      return "text";
    case SlotRule::Kind::Phone:
      return "phone";
    case SlotRule::Kind::Pin:
      return "pin";
    case SlotRule::Kind::Port:
      return "port";
    case SlotRule::Kind::Number:
      return "number";
    case SlotRule::Kind::Choice:
      return "choice";
    case SlotRule::Kind::Switch:
      return "switch";
    case SlotRule::Kind::Time:
      return "time";
    case SlotRule::Kind::Intervals:
      return "intervals";
    case SlotRule::Kind::Zone:
      return "zone";
    case SlotRule::Kind::BalanceCode:
      return "balance-code";
    case SlotRule::Kind::ReadOnly:
      return "read-only";
  }
  return "text";
}

// Every key as a script sees it: its name, the window's caption, its kind, what it takes and its
// factory value; read-only keys are listed too, marked so.
nlohmann::ordered_json schema(const settings::SettingsRecord& defaults) {
  auto keys = nlohmann::ordered_json::array();
  for (const SlotRule& rule : settings::slotRules()) {
    nlohmann::ordered_json key = {{"name", settings::slotName(rule.slot)},
                                  {"caption", rule.caption},
                                  {"type", kindName(rule.kind)},
                                  {"writable", rule.kind != SlotRule::Kind::ReadOnly},
                                  {"allowed", rule.allowed}};
    if (rule.kind == SlotRule::Kind::Number) key["range"] = {{"min", rule.low}, {"max", rule.high}};
    if (!rule.choices.empty()) {
      auto choices = nlohmann::ordered_json::array();
      for (const settings::SlotChoice& choice : rule.choices) {
        choices.push_back({{"word", choice.word}, {"text", choice.text}, {"caption", choice.caption}});
      }
      key["choices"] = std::move(choices);
    }
    key["default"] = settings::Cp1251::toUtf8(defaults.text(rule.slot));
    keys.push_back(std::move(key));
  }
  return keys;
}

}  // namespace

CommandRun defineSettings(CLI::App& app) {
  auto json = std::make_shared<bool>(false);
  app.add_flag("--json", *json,
               "the same as a JSON array a script can read: name, caption, type, allowed, range or "
               "choices, default");
  app.footer(
      "write --set NAME=VALUE, and the JSON and .cfg files write takes, accept the values listed: a value a person "
      "could not enter in the window is refused.\n\n"
      "Example:\n"
      "  orsactl write --set TimeZone=+3 --set ContactTime=08:30 --set DeliveryMode=sms+server");
  return [json](CliContext& context) -> int {
    settings::SettingsRecord defaults;
    defaults.RestoreDefaults("");
    const auto keys = schema(defaults);
    if (*json) {
      context.out << keys.dump(2) << '\n';
      return kExitSuccess;
    }
    for (const auto& key : keys) {
      context.out << key["name"].get<std::string>() << " — " << key["caption"].get<std::string>() << '\n'
                  << "    " << (key["writable"].get<bool>() ? "" : "только чтение; ")
                  << key["allowed"].get<std::string>() << "; по умолчанию \"" << key["default"].get<std::string>()
                  << "\"\n";
    }
    return kExitSuccess;
  };
}

}  // namespace orsa::cli
