// config.ini as people and earlier programs leave it: read its four values, then set one of them.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "service/ConfigIni.h"

using orsa::service::ConfigIni;

namespace {

std::string& valueOf(ConfigIni::Values& values, std::size_t index) {
  std::array<std::string*, 4> fields{&values.directory, &values.daPath, &values.firmwarePath, &values.phone};
  return *fields[index];
}

// A value read back exactly as written: no line break (write refuses it), no blanks at its ends
// (they do not count) and no quotes around the whole of it (they are not part of it).
bool readsBackAsWritten(std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos) return false;
  if (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' || value.back() == '\t'))
    return false;
  return !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::size_t index = input.ConsumeIntegralInRange<std::size_t>(0, 3);
  const std::array<std::string_view, 4> names{ConfigIni::kDirectory, ConfigIni::kDaPath, ConfigIni::kFirmwarePath,
                                              ConfigIni::kPhone};
  // Names match without regard to case: write under a mixed-case spelling of the name.
  std::string key(names[index]);
  const auto caseFlips = input.ConsumeIntegral<std::uint32_t>();
  for (std::size_t i = 0; i < key.size(); ++i) {
    if ((caseFlips >> (i % 32)) & 1U) key[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(key[i])));
  }
  const std::string value = input.ConsumeRandomLengthString(64);
  const std::string file = input.ConsumeRemainingBytesAsString();

  ConfigIni::Values before = ConfigIni::parse(file);
  if (!readsBackAsWritten(value)) return 0;

  const std::string written = ConfigIni::withValue(file, key, value);
  ConfigIni::Values after = ConfigIni::parse(written);
  fuzzCheck(valueOf(after, index) == value, "the key just set reads back as the value given");
  for (std::size_t other = 0; other < 4; ++other) {
    if (other != index) fuzzCheck(valueOf(after, other) == valueOf(before, other), "setting one key keeps the others");
  }
  fuzzCheck(ConfigIni::withValue(written, key, value) == written, "setting a key to the value it has changes nothing");
  return 0;
}
