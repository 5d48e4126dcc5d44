#include "settings/ReplyDump.h"

#include "settings/Cp1251.h"

namespace orsa::settings {

std::string replyDumpLine(std::span<const std::uint8_t, kReplyDumpBytes> bufferStart) {
  std::string cp1251;
  for (const std::uint8_t byte : bufferStart) {
    if (byte == 0) {
      cp1251 += "0x00 ";
    } else {
      cp1251 += static_cast<char>(byte);
      cp1251 += ' ';
    }
  }
  return Cp1251::toUtf8(cp1251);
}

}  // namespace orsa::settings
