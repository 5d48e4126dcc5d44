#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SettingsExchange.h"
#include "cli/SettingsInput.h"
#include "cli/SettingsJson.h"
#include "settings/CollectRecord.h"
#include "settings/Cp1251.h"
#include "settings/IntegerConversionError.h"
#include "settings/RWSettingsThread.h"
#include "settings/ShowRecord.h"

namespace orsa::cli {

namespace {

using settings::SlotId;

// The window's questions on a command line: answered Yes only when the user said --yes up front.
class CommandLineDialogs final : public settings::SettingsDialogs {
 public:
  CommandLineDialogs(std::ostream& err, bool yes) : err_(err), yes_(yes) {}

  bool askYesNo(const std::string& text, const std::string&) override {
    err_ << text << (yes_ ? "\n-> да (--yes)\n" : "\n-> нет (give --yes to go on)\n");
    return yes_;
  }
  void notify(const std::string& text, const std::string&) override { err_ << text << '\n'; }
  void showSection(int) override {}

 private:
  std::ostream& err_;
  bool yes_;
};

bool isReadOnly(SlotId slot) {
  return slot == SlotId::DeviceImei || slot == SlotId::ReadOnlyA || slot == SlotId::ReadOnlyB ||
         slot == SlotId::ReadOnlyC;
}

// Slots whose text the collection sets by itself, whatever was asked.
bool isConstant(SlotId slot) { return slot == SlotId::ConstantSlotA || slot == SlotId::ConstantSlotB; }

bool contains(const std::vector<SlotId>& slots, SlotId slot) {
  return std::find(slots.begin(), slots.end(), slot) != slots.end();
}

void applySet(const std::string& assignment, settings::SettingsRecord& record, std::vector<SlotId>& named) {
  const auto equals = assignment.find('=');
  if (equals == std::string::npos) throw UsageError("--set takes NAME=VALUE, not \"" + assignment + "\"");
  const std::string name = assignment.substr(0, equals);
  auto slot = settings::slotByName(name);
  if (!slot) throw std::runtime_error("unknown slot \"" + name + "\" (see orsactl defaults --json for the names)");
  record.setText(*slot, slotTextFromUtf8(*slot, assignment.substr(equals + 1)));
  named.push_back(*slot);
}

struct WriteOptions {
  std::vector<std::string> words;  // the settings file, when one is given
  std::vector<std::string> sets;
  bool defaults = false;
  bool yes = false;
};

int writeSettings(CliContext& context, const WriteOptions& options) {
  const bool yes = options.yes;
  const bool defaults = options.defaults;
  const auto& sets = options.sets;
  const auto& words = options.words;
  if (defaults && !words.empty()) throw UsageError("give either a settings file or --defaults");
  if (!defaults && words.empty() && sets.empty()) {
    throw UsageError("nothing to write: give a settings file, --defaults or --set NAME=VALUE");
  }

  // What the user gave is taken apart before the beacon is touched, so a bad file costs no exchange.
  settings::SettingsRecord given;
  std::vector<SlotId> named;
  std::vector<SlotId> setByHand;
  try {
    if (!words.empty()) named = loadSettingsInput(words[0], given);
    for (const auto& assignment : sets) applySet(assignment, given, setByHand);
  } catch (const UsageError&) {
    throw;
  } catch (const std::runtime_error& error) {
    context.err << error.what() << '\n';
    return kExitFailed;
  }
  for (SlotId slot : setByHand) {
    if (isReadOnly(slot)) {
      context.err << settings::slotName(slot) << " is read from the beacon and never written\n";
      return kExitFailed;
    }
  }
  named.insert(named.end(), setByHand.begin(), setByHand.end());

  // The window writes the settings it last read with the user's changes on top; so does the tool,
  // so every slot the user did not name keeps what the beacon holds. Only --defaults starts afresh.
  settings::SettingsRecord requested;
  if (defaults) {
    requested.RestoreDefaults("");
  } else {
    auto read = exchangeSettings(context, requested, settings::RWSettingsThread::kReadMode);
    if (read.status != kExitSuccess) return read.status;
  }
  for (SlotId slot : named) {
    if (isReadOnly(slot)) {
      // A file saved by read --save names them as they were read. From another beacon (settings
      // copied to a new one) they differ; they are never written either way, so say so and go on.
      if (given.text(slot) != requested.text(slot)) {
        context.err << settings::slotName(slot) << " in the file differs from the beacon's; it is read from the "
                    << "beacon and never written, so it is left out\n";
      }
      continue;
    }
    requested.setText(slot, given.text(slot));
  }

  // Through the pages exactly as the window would write them, with the window's checks.
  settings::SettingsPage page;
  settings::ShowRecord(requested, page);
  settings::SettingsRecord collected = requested;
  CommandLineDialogs dialogs(context.err, yes);
  std::vector<SlotId> answered;
  try {
    if (!settings::CollectRecord(page, collected, dialogs, answered)) return kExitFailed;
  } catch (const settings::IntegerConversionError& error) {
    context.err << error.what() << '\n';
    return kExitFailed;
  }
  // A text the pages cannot show would reach the beacon changed; say so instead of writing it. The
  // blanks the user accepted by answering Yes are what the window writes too.
  for (std::size_t i = 0; i < settings::kSlotCount; ++i) {
    const auto slot = static_cast<SlotId>(i);
    const std::string asked = requested.text(slot), written = collected.text(slot);
    if (asked == written || isConstant(slot) || contains(answered, slot)) continue;
    const std::string name(settings::slotName(slot));
    if (contains(named, slot)) {
      context.err << name << ": \"" << settings::Cp1251::toUtf8(asked)
                  << "\" is not a value the configurator writes; it would go out as \""
                  << settings::Cp1251::toUtf8(written) << "\"\n";
    } else {
      context.err << name << ": the beacon holds \"" << settings::Cp1251::toUtf8(asked)
                  << "\", which the configurator would write as \"" << settings::Cp1251::toUtf8(written)
                  << "\"; give --set " << name << "=VALUE to choose\n";
    }
    return kExitFailed;
  }

  auto outcome = exchangeSettings(context, collected, settings::RWSettingsThread::kWriteMode);
  if (outcome.status == kExitSuccess) context.out << outcome.message << '\n';
  return outcome.status;
}

}  // namespace

CommandRun defineWrite(CLI::App& app) {
  auto options = std::make_shared<WriteOptions>();
  app.add_option("FILE", options->words, "a settings file, FILE.cfg, or JSON settings, FILE.json")->expected(0, 1);
  app.add_flag("--defaults", options->defaults, "start from the factory settings instead of the beacon's");
  // One NAME=VALUE after each --set, so a settings file named after it is not taken for another.
  app.add_option("--set", options->sets, "put VALUE into the slot NAME (orsactl defaults --json lists the names)")
      ->allow_extra_args(false)
      ->option_text("NAME=VALUE");
  app.add_flag("--yes", options->yes, "answer the window's questions with Yes");
  return [options](CliContext& context) { return writeSettings(context, *options); };
}

}  // namespace orsa::cli
