// The ".cfg" settings file as SettingsFile::load hands its bytes over: any length, any content.
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzCheck.h"
#include "settings/SettingsFile.h"

using orsa::settings::SettingsFile;
using orsa::settings::SettingsRecord;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SettingsRecord record;
  SettingsFile::decodeInto(std::span<const std::uint8_t>(data, size), record);

  // Loading what was saved must give the record back: the image holds everything the file's slots need.
  SettingsRecord reloaded = record;
  const SettingsFile::Image image = SettingsFile::encode(record);
  SettingsFile::decodeInto(image, reloaded);
  SettingsRecord again = reloaded;
  SettingsFile::decodeInto(SettingsFile::encode(reloaded), again);
  fuzzCheck(again == reloaded, "a saved and reloaded record saves and reloads to itself");
  return 0;
}
