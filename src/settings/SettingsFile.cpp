#include "settings/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "settings/AtomicFileWrite.h"
#include "settings/NumberText.h"
#include "settings/SettingsMessages.h"

namespace orsa::settings {

namespace {

enum class Encoding {
  Text,       // text, terminator, zero padding
  ExactText,  // exactly the field's width, no terminator
  Unsigned8,
  Signed8,
  Unsigned16,
  Pin16,  // unsigned 16-bit, read back with four digits
};

struct Field {
  SlotId slot;
  std::size_t offset;
  std::size_t width;
  Encoding encoding;
};

constexpr std::size_t kHeaderBytes = 3;

constexpr Field kFields[] = {
    {SlotId::OwnerPhone, 3, 30, Encoding::Text},
    {SlotId::DevicePin, 33, 2, Encoding::Pin16},
    {SlotId::TimeZone, 35, 1, Encoding::Signed8},
    {SlotId::ContactTime, 36, 5, Encoding::Text},
    {SlotId::CoordFormat, 41, 1, Encoding::Unsigned8},
    {SlotId::DeliveryMode, 42, 1, Encoding::Unsigned8},
    {SlotId::ServerHost, 43, 32, Encoding::Text},
    {SlotId::ServerPort, 75, 2, Encoding::Unsigned16},
    {SlotId::FixPeriodDays, 77, 1, Encoding::Unsigned8},
    {SlotId::WakeInterval, 78, 1, Encoding::Unsigned8},
    {SlotId::BalanceThreshold, 79, 2, Encoding::Unsigned16},
    {SlotId::BalanceCode, 81, 10, Encoding::Text},
    {SlotId::MotionMode, 91, 1, Encoding::Unsigned8},
    {SlotId::GuardIntervals, 92, 17, Encoding::Text},
    {SlotId::MotionTimeout, 109, 1, Encoding::Unsigned8},
    {SlotId::FalseAlarmGuard, 110, 1, Encoding::Unsigned8},
    {SlotId::MotionAmplitude, 111, 1, Encoding::Unsigned8},
    {SlotId::MotionDuration, 112, 1, Encoding::Unsigned8},
    {SlotId::ZoneControl, 113, 5, Encoding::ExactText},
};

static_assert(kFields[std::size(kFields) - 1].offset + kFields[std::size(kFields) - 1].width == SettingsFile::kSize);

std::string textOfField(const std::uint8_t* field, std::size_t width) {
  const auto* begin = reinterpret_cast<const char*>(field);
  const auto* end = std::find(begin, begin + width, '\0');
  return std::string(begin, end);
}

unsigned littleEndian16(const std::uint8_t* in) {
  return static_cast<unsigned>(in[0]) | (static_cast<unsigned>(in[1]) << 8);
}

std::string errnoText(int error) { return std::generic_category().message(error); }

SettingsFile::Result failure(std::string_view message, std::string detail) {
  return {false, std::string(message), std::move(detail)};
}

}  // namespace

SettingsFile::Image SettingsFile::encode(const SettingsRecord& record) {
  Image image{};
  std::fill_n(image.begin(), kHeaderBytes, std::uint8_t{1});
  for (const Field& field : kFields) {
    std::uint8_t* out = image.data() + field.offset;
    const auto value = static_cast<unsigned>(record.number(field.slot));
    switch (field.encoding) {
      case Encoding::Text:
      case Encoding::ExactText: {
        const std::string text = record.text(field.slot);
        const std::size_t room = field.encoding == Encoding::Text ? field.width - 1 : field.width;
        // The image is zeroed: a Text field keeps its terminating zero, an ExactText field may be full.
        std::copy_n(text.data(), std::min(text.size(), room), out);
        break;
      }
      case Encoding::Unsigned8:
      case Encoding::Signed8:
        out[0] = static_cast<std::uint8_t>(value & 0xFFu);
        break;
      case Encoding::Unsigned16:
      case Encoding::Pin16:
        out[0] = static_cast<std::uint8_t>(value & 0xFFu);
        out[1] = static_cast<std::uint8_t>((value >> 8) & 0xFFu);
        break;
    }
  }
  return image;
}

void SettingsFile::decodeInto(std::span<const std::uint8_t> bytes, SettingsRecord& record) {
  Image image{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), kSize), image.begin());
  for (const Field& field : kFields) {
    const std::uint8_t* in = image.data() + field.offset;
    std::string text;
    switch (field.encoding) {
      case Encoding::Text:
      case Encoding::ExactText:
        text = textOfField(in, field.width);
        break;
      case Encoding::Unsigned8:
        text = NumberText::decimal(in[0]);
        break;
      case Encoding::Signed8:
        text = NumberText::decimal(static_cast<std::int8_t>(in[0]));
        break;
      case Encoding::Unsigned16:
        text = NumberText::decimal(littleEndian16(in));
        break;
      case Encoding::Pin16: {
        char pin[8];
        std::snprintf(pin, sizeof pin, "%04u", littleEndian16(in));
        text = pin;
        break;
      }
    }
    record.setText(field.slot, text);
  }
}

SettingsFile::Result SettingsFile::save(const std::filesystem::path& path, const SettingsRecord& record) {
  const FileWriteResult written = writeFileAtomically(path, encode(record));
  if (!written) {
    return failure(written.message(), written.detail());
  }
  return {};
}

SettingsFile::Result SettingsFile::load(const std::filesystem::path& path, SettingsRecord& record) {
#ifdef _WIN32
  // The wide name: the narrow one would lose what the ANSI code page cannot spell.
  std::FILE* file = _wfopen(path.c_str(), L"rb");
#else
  std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
  if (file == nullptr) {
    return failure(messages::kFileOpenFailed, errnoText(errno));
  }
  Image image{};
  const std::size_t got = std::fread(image.data(), 1, image.size(), file);
  const bool readError = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (readError) {
    return failure(messages::kFileReadFailed, errnoText(error));
  }
  decodeInto(std::span<const std::uint8_t>(image.data(), got), record);
  return {};
}

std::string SettingsFile::nameForSaving(std::string_view chosen) {
  std::string name(chosen);
  if (name.find(".cfg") == std::string::npos) {
    name += ".cfg";
  }
  return name;
}

bool SettingsFile::isLoadableName(std::string_view chosen) { return chosen.find(".cfg") != std::string_view::npos; }

}  // namespace orsa::settings
