#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orsa::service {

// The modem's commands are built in a 300-byte zero-filled buffer, so none may be longer than this.
inline constexpr std::size_t kMaxCommandBytes = 299;

// Whether `needle` occurs in the answer read as zero-terminated text (case-sensitive).
bool answerHolds(std::string_view answerText, std::string_view needle);

// The free bytes of drive "C:" in an "AT+FSMEM" answer: the decimal number right after
// "+FSMEM: C:". Empty when the answer has no CR LF yet, lacks the marker or the number, or the
// number does not fit 32 bits signed.
std::optional<std::int32_t> freeMemoryFromAnswer(std::string_view answerText);

// An IMEI has 15 digits; an SMS carries exactly this many bytes of it.
inline constexpr std::size_t kImeiLength = 15;

// The IMEI in an "AT+GSN" answer as the receive buffer holds it: kImeiLength bytes from the first
// digit before the buffer's first zero byte, zero-filled where the buffer ends first (an emptied
// receive buffer holds zeros there too). Empty when no digit comes before that zero byte.
std::optional<std::string> imeiFromAnswer(std::span<const std::uint8_t> buffer);

// The name a file is stored under in the modem: the part of `path` after its last slash,
// backslash or colon.
std::string modemFileName(std::string_view path);

}  // namespace orsa::service
