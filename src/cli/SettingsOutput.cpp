#include "cli/SettingsOutput.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "cli/ExitCode.h"
#include "cli/SettingsJson.h"
#include "settings/AtomicFileWrite.h"
#include "settings/Cp1251.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsSummary.h"
#include "link/Utf8Path.h"

namespace orsa::cli {

using settings::SlotId;

namespace {

// Display width in characters of UTF-8 text (each code point counts one).
std::size_t displayWidth(const std::string& utf8) {
  std::size_t width = 0;
  for (unsigned char c : utf8) width += (c & 0xC0) != 0x80;
  return width;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void printSummary(std::ostream& out, const settings::SettingsRecord& record) {
  auto rows = settings::summarize(record);
  std::size_t width = 0;
  for (const auto& row : rows) width = std::max(width, displayWidth(row.caption));
  for (const auto& row : rows) {
    out << row.caption << std::string(width - displayWidth(row.caption) + 2, ' ') << row.value.value_or("—") << '\n';
  }
  const std::string imei = record.text(settings::SlotId::DeviceImei);
  if (!imei.empty()) {
    const std::string caption = "IMEI";
    out << caption << std::string(width - caption.size() + 2, ' ') << settings::Cp1251::toUtf8(imei) << '\n';
  }
}

// What a .cfg of the record would not give back: the slots it has no room for, and the texts its
// numbers and fixed fields change ("abc" for a port comes back as 0). One line each.
std::vector<std::string> cfgLosses(const settings::SettingsRecord& record) {
  const auto image = settings::SettingsFile::encode(record);
  settings::SettingsRecord reread;
  settings::SettingsFile::decodeInto(image, reread);
  const std::vector<SlotId> held = fileSlots();
  std::vector<std::string> losses;
  std::string dropped;
  for (SlotId slot : allSlots()) {
    const std::string name(settings::slotName(slot));
    const std::string text = settings::Cp1251::toUtf8(record.text(slot));
    const bool readOnly = slot == SlotId::DeviceImei || slot == SlotId::ReadOnlyA || slot == SlotId::ReadOnlyB ||
                          slot == SlotId::ReadOnlyC || slot == SlotId::ConstantSlotA || slot == SlotId::ConstantSlotB;
    if (readOnly) continue;
    if (std::find(held.begin(), held.end(), slot) == held.end()) {
      if (text.empty()) continue;
      if (!dropped.empty()) dropped += ", ";
      dropped.append(name).append("=").append(text);
      continue;
    }
    const std::string back = settings::Cp1251::toUtf8(reread.text(slot));
    if (back == text) continue;
    std::string loss = "в .cfg меняется: ";
    loss.append(name).append(" «").append(text).append("» станет «").append(back).append("»");
    losses.push_back(std::move(loss));
  }
  if (!dropped.empty()) {
    losses.insert(losses.begin(),
                  "не сохраняется в .cfg: " + dropped + " (сохраните в FILE.json, чтобы сохранить всё)");
  }
  return losses;
}

std::string saveRecord(CliContext& context, const std::string& path, const settings::SettingsRecord& record,
                       bool strict) {
  if (!endsWith(path, ".json")) {
    const auto losses = cfgLosses(record);
    for (const std::string& loss : losses) context.err << "orsactl: " << loss << '\n';
    if (strict && !losses.empty()) return path + " не записан (--strict)";
  }
  if (endsWith(path, ".json")) {
    const auto written = settings::writeFileAtomically(link::utf8Path(path), recordToJson(record, allSlots()));
    if (written) return {};
    return std::string(written.message()) + " (" + written.detail() + ")";
  }
  auto result = settings::SettingsFile::save(link::utf8Path(path), record);
  if (result) return {};
  return result.message + (result.detail.empty() ? "" : " (" + result.detail + ")");
}

void defineRecordOutput(CLI::App& app, RecordOutput& output, bool saving) {
  app.add_flag("--json", output.json, "print the settings as JSON, slot names and their texts");
  if (saving) {
    app.add_option_function<std::string>(
           "--save", [&output](const std::string& path) { output.save = path; },
           "also keep them in FILE: a settings file, or JSON when the name ends in .json; what a settings file "
           "cannot hold is listed")
        ->option_text("FILE");
    app.add_flag("--strict", output.strict,
                 "with --save FILE.cfg: refuse to save when the file would drop or change a value");
  }
}

int emitRecord(CliContext& context, const settings::SettingsRecord& record, const RecordOutput& output,
               const std::vector<settings::SlotId>& jsonSlots) {
  if (output.save) {
    if (auto error = saveRecord(context, *output.save, record, output.strict); !error.empty()) {
      context.err << "orsactl: " << error << '\n';
      return kExitFailed;
    }
  }
  if (output.json) {
    context.out << recordToJson(record, jsonSlots);
  } else {
    printSummary(context.out, record);
  }
  return kExitSuccess;
}

}  // namespace orsa::cli
