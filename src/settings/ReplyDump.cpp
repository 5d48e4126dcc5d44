#include "settings/ReplyDump.h"

#include <algorithm>

#include "settings/Cp1251.h"

namespace orsa::settings {

std::string replyDumpLine(std::span<const std::uint8_t> reply) {
    constexpr std::size_t kDumpedBytes = 32;
    std::string cp1251;
    for (const std::uint8_t byte : reply.first(std::min(reply.size(), kDumpedBytes))) {
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
