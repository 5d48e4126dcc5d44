#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orsa::settings {

// How many bytes of the receive buffer each dump line shows, whether they arrived or not.
inline constexpr std::size_t kReplyDumpBytes = 32;

// The line the reply log gets for one slot read: each of the first 32 bytes of the receive buffer
// as its character and a blank, a zero byte as "0x00 ". After a short reply the bytes that never
// came are the buffer's zeros, so the line still has 32 entries. Returned in UTF-8, ready for the
// log window.
std::string replyDumpLine(std::span<const std::uint8_t, kReplyDumpBytes> bufferStart);

// The further line that follows each dump line in the log.
inline constexpr std::string_view kReplyDumpSeparator = "\r\n\r\n";

}  // namespace orsa::settings
