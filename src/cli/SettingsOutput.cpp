#include "cli/SettingsOutput.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/ExitCode.h"
#include "cli/SettingsJson.h"
#include "settings/AtomicFileWrite.h"
#include "settings/Cp1251.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsSummary.h"

namespace orsa::cli {

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

std::string saveRecord(const std::string& path, const settings::SettingsRecord& record) {
  if (endsWith(path, ".json")) {
    const auto written = settings::writeFileAtomically(path, recordToJson(record, allSlots()));
    if (written) return {};
    return std::string(written.message()) + " (" + written.detail() + ")";
  }
  auto result = settings::SettingsFile::save(path, record);
  if (result) return {};
  return result.message + (result.detail.empty() ? "" : " (" + result.detail + ")");
}

void defineRecordOutput(CLI::App& app, RecordOutput& output, bool saving) {
  app.add_flag("--json", output.json, "print the settings as JSON, slot names and their texts");
  if (saving) {
    app.add_option_function<std::string>(
           "--save", [&output](const std::string& path) { output.save = path; },
           "also keep them in FILE: a settings file, or JSON when the name ends in .json")
        ->option_text("FILE");
  }
}

int emitRecord(CliContext& context, const settings::SettingsRecord& record, const RecordOutput& output,
               const std::vector<settings::SlotId>& jsonSlots) {
  if (output.save) {
    if (auto error = saveRecord(*output.save, record); !error.empty()) {
      context.err << error << '\n';
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
