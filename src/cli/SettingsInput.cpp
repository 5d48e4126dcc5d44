#include "cli/SettingsInput.h"

#include <cerrno>
#include <fstream>
#include <stdexcept>

#include "cli/SettingsJson.h"
#include "link/SystemReason.h"
#include "settings/SettingsFile.h"

namespace orsa::cli {

namespace {

constexpr std::size_t kMaxJsonBytes = 64 * 1024;

// Reads a whole file of at most `maxBytes`; throws std::runtime_error with the reason otherwise.
std::string readSmallFile(const std::string& path, std::size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": не открывается: " + link::systemReason(errno));
  std::string content(maxBytes + 1, '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (in.bad()) throw std::runtime_error(path + ": не читается: " + link::systemReason(errno));
  content.resize(static_cast<std::size_t>(in.gcount()));
  if (content.size() > maxBytes) throw std::runtime_error(path + ": файл больше " + std::to_string(maxBytes) + " байт");
  return content;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool isJsonSettingsName(const std::string& path) { return endsWith(path, ".json"); }

void restoreEmptyPort(const std::string& path, settings::SettingsRecord& record) {
  if (!isJsonSettingsName(path) && record.text(settings::SlotId::ServerPort) == "0") {
    record.setText(settings::SlotId::ServerPort, "");
  }
}

std::vector<settings::SlotId> loadSettingsInput(const std::string& path, settings::SettingsRecord& record) {
  const std::size_t maxBytes = isJsonSettingsName(path) ? kMaxJsonBytes : settings::SettingsFile::kSize;
  return applySettingsInput(path, readSmallFile(path, maxBytes), record);
}

std::vector<settings::SlotId> applySettingsInput(const std::string& path, std::string_view content,
                                                 settings::SettingsRecord& record) {
  if (isJsonSettingsName(path)) {
    if (content.empty()) throw std::runtime_error(path + ": файл пуст");
    settings::SettingsRecord updated = record;
    try {
      auto named = applyJson(content, updated);
      record = updated;
      return named;
    } catch (const std::runtime_error& error) {
      throw std::runtime_error(path + ": " + error.what());
    }
  }
  if (content.size() != settings::SettingsFile::kSize) {
    throw std::runtime_error(path + ": в файле " + std::to_string(content.size()) + " байт, а в файле настроек ровно " +
                             std::to_string(settings::SettingsFile::kSize));
  }
  if (content[0] != 1 || content[1] != 1 || content[2] != 1) {
    throw std::runtime_error(path + ": это не файл настроек (он не начинается с байтов 1, 1, 1)");
  }
  settings::SettingsFile::decodeInto({reinterpret_cast<const std::uint8_t*>(content.data()), content.size()}, record);
  return fileSlots();
}

}  // namespace orsa::cli
