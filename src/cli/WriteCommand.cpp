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
#include "settings/SettingsDefaults.h"
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
  return slot == SlotId::DeviceImei || slot == SlotId::ReadOnlyA || slot == SlotId::ReadOnlyB || slot == SlotId::ReadOnlyC;
}

// Slots whose text the collection sets by itself, whatever was asked.
bool isConstant(SlotId slot) { return slot == SlotId::ConstantSlotA || slot == SlotId::ConstantSlotB; }

void applySet(const std::string& assignment, settings::SettingsRecord& record, std::vector<SlotId>& named) {
  const auto equals = assignment.find('=');
  if (equals == std::string::npos) throw UsageError("--set takes NAME=VALUE, not \"" + assignment + "\"");
  const std::string name = assignment.substr(0, equals);
  auto slot = settings::slotByName(name);
  if (!slot) throw std::runtime_error("unknown slot \"" + name + "\" (see orsactl defaults --json for the names)");
  record.setText(*slot, slotTextFromUtf8(*slot, assignment.substr(equals + 1)));
  named.push_back(*slot);
}

}  // namespace

int runWrite(CliContext& context, Arguments& arguments) {
  const bool yes = arguments.flag("--yes");
  const bool defaults = arguments.flag("--defaults");
  const auto sets = arguments.options("--set");
  const auto words = arguments.positionals();
  if (words.size() > 1) throw UsageError("write takes at most one settings file");
  if (defaults && !words.empty()) throw UsageError("give either a settings file or --defaults");
  if (!defaults && words.empty() && sets.empty()) {
    throw UsageError("nothing to write: give a settings file, --defaults or --set NAME=VALUE");
  }

  settings::SettingsRecord requested;
  requested.RestoreDefaults("");
  std::vector<SlotId> named;
  try {
    if (!words.empty()) named = loadSettingsInput(words[0], requested);
    for (const auto& assignment : sets) applySet(assignment, requested, named);
  } catch (const UsageError&) {
    throw;
  } catch (const std::runtime_error& error) {
    context.err << error.what() << '\n';
    return kExitFailed;
  }
  for (SlotId slot : named) {
    if (isReadOnly(slot)) {
      context.err << settings::slotName(slot) << " is read from the beacon and never written\n";
      return kExitFailed;
    }
  }

  // Through the pages exactly as the window would write them, with the window's checks.
  settings::SettingsPage page;
  settings::ShowRecord(requested, page);
  settings::SettingsRecord collected = requested;
  CommandLineDialogs dialogs(context.err, yes);
  try {
    if (!settings::CollectRecord(page, collected, dialogs)) return kExitFailed;
  } catch (const settings::IntegerConversionError& error) {
    context.err << error.what() << '\n';
    return kExitFailed;
  }
  // A value the pages cannot show would reach the beacon changed; say so instead of writing it.
  for (SlotId slot : named) {
    const std::string asked = requested.text(slot), written = collected.text(slot);
    const bool phoneMarker = slot == SlotId::OwnerPhone && asked.empty() && written == settings::kNotSetMarker;
    if (asked == written || phoneMarker || isConstant(slot)) continue;
    context.err << settings::slotName(slot) << ": \"" << settings::Cp1251::toUtf8(asked)
                << "\" is not a value the configurator writes; it would go out as \""
                << settings::Cp1251::toUtf8(written) << "\"\n";
    return kExitFailed;
  }

  auto outcome = exchangeSettings(context, collected, settings::RWSettingsThread::kWriteMode);
  if (outcome.status == kExitSuccess) context.out << outcome.message << '\n';
  return outcome.status;
}

}  // namespace orsa::cli
