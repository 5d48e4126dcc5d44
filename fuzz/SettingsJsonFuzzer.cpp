// The settings file orsactl takes as JSON: any bytes under a ".json" name.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "FuzzCheck.h"
#include "cli/SettingsInput.h"
#include "cli/SettingsJson.h"

using orsa::settings::SettingsRecord;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const SettingsRecord original;
  SettingsRecord record = original;
  try {
    const auto named = orsa::cli::applySettingsInput("input.json", content, record);
    // What `orsactl read` prints for these slots must be taken back by `orsactl write` unchanged.
    SettingsRecord reread;
    orsa::cli::applyJson(orsa::cli::recordToJson(record, named), reread);
    SettingsRecord expected;
    for (const auto slot : named) expected.setText(slot, record.text(slot));
    fuzzCheck(reread == expected, "the JSON of the applied slots applies back to the same texts");
  } catch (const std::runtime_error&) {
    fuzzCheck(record == original, "a refused settings file leaves the record untouched");
  }
  return 0;
}
