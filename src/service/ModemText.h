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

// Whether `text` is an IMEI: 15 digits, the last one the Luhn check digit of the other 14.
bool isValidImei(std::string_view text);

// The number to give the modem for `typed`: an optional "+" and 3 to 20 of the digits, "*" and "#".
// The spaces, dashes and brackets people write for reading are dropped. Empty when `typed` is not
// such a number: anything else could end the command line and start another.
std::optional<std::string> dialablePhoneNumber(std::string_view typed);
// What a phone number must look like, for the message that refuses one.
inline constexpr const char* kPhoneNumberRule = "нужны «+» и от 3 до 20 цифр (допустимы также * и #)";

// Whether a name can stand in a file command of the modem: printable characters only, none of
// " , ; \ : (they would end the argument or the command, or name another folder).
bool isSafeModemFileName(std::string_view name);
inline constexpr const char* kModemFileNameRule = "только печатные символы, без \" , ; \\ :";

// The name a file is stored under in the modem: the part of `path` after its last slash,
// backslash or colon.
std::string modemFileName(std::string_view path);

}  // namespace orsa::service
