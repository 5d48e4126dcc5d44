#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orsa::settings {

// The line the reply log gets for one slot read: each of the first 32 reply bytes as its
// character and a blank, a zero byte as "0x00 ". Returned in UTF-8, ready for the log window.
std::string replyDumpLine(std::span<const std::uint8_t> reply);

// The further line that follows each dump line in the log.
inline constexpr std::string_view kReplyDumpSeparator = "\r\n\r\n";

}  // namespace orsa::settings
