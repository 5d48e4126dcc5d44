#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/InputError.h"
#include "cli/SettingsDiff.h"
#include "cli/SettingsExchange.h"
#include "cli/SettingsInput.h"
#include "cli/SettingsJson.h"
#include "settings/CollectRecord.h"
#include "settings/ExchangeOrder.h"
#include "settings/Cp1251.h"
#include "settings/IntegerConversionError.h"
#include "settings/RWSettingsThread.h"
#include "settings/ShowRecord.h"
#include "settings/SlotRules.h"

namespace orsa::cli {

namespace {

using settings::SlotId;

// The window's questions on a command line: answered Yes only when the user said --yes up front.
// A No ends the write, so its line is the last one and names the question: a table of several
// beacons, which shows each one's last line, then says why nothing was written.
class CommandLineDialogs final : public settings::SettingsDialogs {
 public:
  CommandLineDialogs(std::ostream& err, bool yes) : err_(err), yes_(yes) {}

  bool askYesNo(const std::string& text, const std::string&) override {
    if (yes_) {
      err_ << text << "\n-> да (--yes)\n";
    } else {
      err_ << "orsactl: не записано: на вопрос «" << oneLine(text)
           << "» ответ «нет»; добавьте --yes, чтобы ответить «да»\n";
    }
    return yes_;
  }
  void notify(const std::string& text, const std::string&) override { err_ << text << '\n'; }
  void showSection(int) override {}

 private:
  static std::string oneLine(std::string text) {
    for (char& c : text) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
  }

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
  if (!slot) throw UsageError(unknownSettingMessage(name));
  if (isReadOnly(*slot))
    throw UsageError(std::string(settings::slotName(*slot)) + " is read from the beacon and never written");
  try {
    record.setText(*slot, slotTextFromUtf8(*slot, assignment.substr(equals + 1)));
  } catch (const std::runtime_error& error) {  // a text the slot cannot hold is a value refused, as any other
    throw UsageError(error.what());
  }
  named.push_back(*slot);
}

// Every value given is held to what a person could enter in the window, readable spellings turned into
// the slot's own text; all refusals are told at once, and nothing is sent.
void applyWindowRules(const std::vector<SlotId>& named, settings::SettingsRecord& given) {
  std::string refusals;
  for (SlotId slot : named) {
    if (isReadOnly(slot) || isConstant(slot)) continue;
    const std::string value = settings::Cp1251::toUtf8(given.text(slot));
    const settings::SlotInput input = settings::readSlotInput(slot, value);
    if (!input.text) {
      if (!refusals.empty()) refusals += "\n";
      refusals += std::string(settings::slotName(slot)) + "=" + value + ": допустимо " + input.refusal;
      continue;
    }
    given.setText(slot, slotTextFromUtf8(slot, *input.text));
  }
  if (!refusals.empty()) throw UsageError(refusals);
}

struct WriteOptions {
  std::vector<std::string> words;  // the settings file, when one is given
  std::vector<std::string> sets;
  bool defaults = false;
  bool yes = false;
  bool verify = false;  // read the beacon back and compare
  bool dryRun = false;  // show what would change and send nothing

  // What the user gave, taken apart once the command line is parsed: the values and the slots named.
  settings::SettingsRecord given;
  std::vector<SlotId> named;
};

// Takes the file and the --set values apart before any beacon is opened, so a bad value costs no
// exchange and a line of beacons refuses it once, up front.
void takeInput(WriteOptions& options) {
  if (options.defaults && !options.words.empty()) throw UsageError("give either a settings file or --defaults");
  if (options.verify && options.dryRun) throw UsageError("--dry-run writes nothing, so there is nothing to --verify");
  if (!options.defaults && options.words.empty() && options.sets.empty()) {
    throw UsageError("nothing to write: give a settings file, --defaults or --set NAME=VALUE");
  }
  std::vector<SlotId> setByHand;
  try {
    if (!options.words.empty()) {
      options.named = loadSettingsInput(options.words[0], options.given);
      restoreEmptyPort(options.words[0], options.given);
    }
    for (const auto& assignment : options.sets) applySet(assignment, options.given, setByHand);
  } catch (const UsageError&) {
    throw;
  } catch (const std::runtime_error& error) {
    throw InputError(error.what());
  }
  options.named.insert(options.named.end(), setByHand.begin(), setByHand.end());
  applyWindowRules(options.named, options.given);
}

// Reads back what was just written and names each slot the beacon holds otherwise.
int verifyWritten(CliContext& context, const settings::SettingsRecord& written) {
  settings::SettingsRecord held;
  if (const auto read = exchangeSettings(context, held, settings::RWSettingsThread::kReadMode);
      read.status != kExitSuccess) {
    context.err << "orsactl: проверка не выполнена: маяк не прочитан после записи\n";
    return read.status;
  }
  const auto differences = differingSlots(written, held, writtenSlots());
  if (differences.empty()) {
    context.out << "Проверка: маяк хранит все " << settings::kWrittenSlotCount << " записанных ячеек\n";
    return kExitSuccess;
  }
  for (const SlotDifference& difference : differences) {
    context.err << "orsactl: проверка: " << settings::slotName(difference.slot) << ": записано \"" << difference.left
                << "\", маяк хранит \"" << difference.right << "\"\n";
  }
  context.err << "orsactl: проверка не пройдена: " << differences.size() << " из " << settings::kWrittenSlotCount
              << " ячеек маяк хранит не так, как записано; запишите настройки снова\n";
  return kExitFailed;
}

// What a write would change, slot by slot, with nothing sent.
int showDryRun(CliContext& context, const settings::SettingsRecord& held, const settings::SettingsRecord& collected) {
  const auto differences = differingSlots(held, collected, writtenSlots());
  if (context.options().json) {
    context.out << differencesToJson("beacon", "write", differences);
  } else {
    printDifferences(context.out, differences);
    context.out << "Ничего не отправлено (--dry-run): запись изменит " << differences.size() << " из "
                << settings::kWrittenSlotCount << " ячеек\n";
  }
  return kExitSuccess;
}

int writeSettings(CliContext& context, const WriteOptions& options) {
  const bool defaults = options.defaults;
  const auto& named = options.named;
  const auto& given = options.given;

  // The window writes the settings it last read with the user's changes on top; so does the tool,
  // so every slot the user did not name keeps what the beacon holds. Only --defaults starts afresh.
  // A dry run compares with the beacon, so it reads even when the defaults are to be written.
  settings::SettingsRecord requested;
  settings::SettingsRecord held;
  if (!defaults || options.dryRun) {
    auto read = exchangeSettings(context, held, settings::RWSettingsThread::kReadMode);
    if (read.status != kExitSuccess) return read.status;
  }
  if (defaults) {
    requested.RestoreDefaults("");
  } else {
    requested = held;
  }
  for (SlotId slot : named) {
    if (isReadOnly(slot)) {
      // A file saved by read --save names them as they were read. From another beacon (settings
      // copied to a new one) they differ; they are never written either way, so say so and go on.
      if (given.text(slot) != requested.text(slot)) {
        context.err << "orsactl: " << settings::slotName(slot)
                    << " в файле не тот, что в маяке; эта ячейка только читается с маяка, она пропущена\n";
      }
      continue;
    }
    requested.setText(slot, given.text(slot));
  }

  // Through the pages exactly as the window would write them, with the window's checks.
  settings::SettingsPage page;
  settings::ShowRecord(requested, page);
  settings::SettingsRecord collected = requested;
  CommandLineDialogs dialogs(context.err, options.yes);
  std::vector<SlotId> answered;
  try {
    if (!settings::CollectRecord(page, collected, dialogs, answered)) return kExitFailed;
  } catch (const settings::IntegerConversionError& error) {
    context.err << "orsactl: " << error.what() << '\n';
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
      context.err << "orsactl: " << name << ": значение \"" << settings::Cp1251::toUtf8(asked)
                  << "\" конфигуратор не записывает, ушло бы \"" << settings::Cp1251::toUtf8(written) << "\"\n";
    } else {
      context.err << "orsactl: " << name << ": маяк хранит \"" << settings::Cp1251::toUtf8(asked)
                  << "\", конфигуратор записал бы \"" << settings::Cp1251::toUtf8(written)
                  << "\"; выберите значение: --set " << name << "=ЗНАЧЕНИЕ\n";
    }
    return kExitFailed;
  }

  if (options.dryRun) return showDryRun(context, held, collected);
  auto outcome = exchangeSettings(context, collected, settings::RWSettingsThread::kWriteMode);
  if (outcome.status != kExitSuccess) return outcome.status;
  context.out << outcome.message << '\n';
  return options.verify ? verifyWritten(context, collected) : kExitSuccess;
}

}  // namespace

CommandRun defineWrite(CLI::App& app) {
  auto options = std::make_shared<WriteOptions>();
  app.add_option("FILE", options->words, "a settings file, FILE.cfg, or JSON settings, FILE.json")->expected(0, 1);
  app.add_flag("--defaults", options->defaults, "start from the factory settings instead of the beacon's");
  // One NAME=VALUE after each --set, so a settings file named after it is not taken for another.
  app.add_option("--set", options->sets,
                 "put VALUE into the slot NAME (orsactl settings lists the names and the values they take)")
      ->allow_extra_args(false)
      ->option_text("NAME=VALUE");
  app.add_flag("--yes", options->yes, "answer the window's questions with Yes");
  app.add_flag("--verify", options->verify,
               "read the beacon back after the write and list each slot it holds otherwise (status 1 when any)");
  app.add_flag("--dry-run", options->dryRun,
               "read the beacon and list the slots the write would change, KEY: \"now\" → \"then\"; nothing is sent");
  app.final_callback([options] { takeInput(*options); });
  return [options](CliContext& context) { return writeSettings(context, *options); };
}

}  // namespace orsa::cli
