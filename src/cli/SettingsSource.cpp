#include "cli/SettingsSource.h"

#include <filesystem>
#include <ostream>
#include <stdexcept>

#include "cli/ExitCode.h"
#include "cli/SettingsDiff.h"
#include "cli/SettingsExchange.h"
#include "cli/SettingsInput.h"
#include "cli/SettingsJson.h"
#include "link/Utf8Path.h"
#include "settings/Cp1251.h"
#include "settings/RWSettingsThread.h"
#include "settings/SlotRules.h"

namespace orsa::cli {

namespace {

bool namesFile(const std::string& word) {
  if (isJsonSettingsName(word) || word.ends_with(".cfg")) return true;
  std::error_code error;
  return std::filesystem::is_regular_file(link::utf8Path(word), error);
}

// A file may spell a value readably ("+5", "sms+server"); it is compared as the slot's text that
// write would send for it. A value write would refuse stays as it is, and so differs.
void toSlotTexts(SettingsSource& source) {
  for (settings::SlotId slot : heldBy(settableSlots(), source.slots)) {
    const auto input = settings::readSlotInput(slot, settings::Cp1251::toUtf8(source.record.text(slot)));
    if (input.text) source.record.setText(slot, slotTextFromUtf8(slot, *input.text));
  }
}

int readBeacon(CliContext& context, SettingsSource& source) {
  const auto outcome = exchangeSettings(context, source.record, settings::RWSettingsThread::kReadMode);
  source.slots = allSlots();
  return outcome.status;
}

}  // namespace

int loadSettingsSource(CliContext& context, const std::string& word, SettingsSource& source) {
  if (word == "beacon") return readBeacon(context, source);
  if (!namesFile(word)) {
    // A port of its own: its own channel, so each beacon is read as the one the command line named.
    GlobalOptions options = context.options();
    options.port = word;
    options.recorder = nullptr;
    CliContext port(options, context.out, context.err, nullptr, context.interactive());
    return readBeacon(port, source);
  }
  try {
    source.slots = loadSettingsInput(word, source.record);
    restoreEmptyPort(word, source.record);
    toSlotTexts(source);
  } catch (const std::runtime_error& error) {
    context.err << "orsactl: " << error.what() << '\n';
    return kExitUsage;
  }
  return kExitSuccess;
}

}  // namespace orsa::cli
