#pragma once

#include <stdexcept>
#include <string>

namespace orsa::settings {

// A page field that must hold an integer does not. It ends the command the way an unchecked
// conversion always has: the message names the field's text and the slots collected before it
// keep their new texts.
class IntegerConversionError : public std::runtime_error {
 public:
  explicit IntegerConversionError(const std::string& fieldText);

  // The offending text (UTF-8), as the field held it.
  const std::string& fieldText() const { return fieldText_; }

 private:
  std::string fieldText_;
};

}  // namespace orsa::settings
