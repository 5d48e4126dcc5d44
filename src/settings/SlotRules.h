#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SlotId.h"

namespace orsa::settings {

// One value a list or a group of buttons offers: the word a person types for it, the slot's text,
// and the caption the window shows.
struct SlotChoice {
  std::string_view word;
  std::string_view text;
  std::string_view caption;
};

// What a person could put into one slot through the window's pages, so that a value given any other
// way (a command line, a JSON or .cfg file) is held to the same rules: the keys a field takes, its
// length, the items of its list.
struct SlotRule {
  enum class Kind { Text, Phone, Pin, Port, Number, Choice, Switch, Time, Intervals, Zone, BalanceCode, ReadOnly };

  SlotId slot;
  Kind kind;
  std::string_view caption;  // the window's caption for the value
  std::string allowed;       // what may be given, in a few words
  std::vector<SlotChoice> choices;
  int low = 0;  // the range of a Number
  int high = 0;
};

// Every slot's rule, in record order.
const std::vector<SlotRule>& slotRules();
const SlotRule& slotRule(SlotId slot);

// A value given for a slot (UTF-8), read the way a person means it: the slot's own text, or a readable
// spelling ("+3" for the time zone, "08:30" for a time, "sms+server", "yes"/"no" for a switch).
struct SlotInput {
  std::optional<std::string> text;  // the slot's text (UTF-8) when the value is allowed
  std::string refusal;              // otherwise what is allowed
};
SlotInput readSlotInput(SlotId slot, std::string_view value);

// A slot's text (UTF-8) as a person reads it, in the spelling readSlotInput takes back ("+3", "08:30",
// "sms+server", "yes", "auto"); a text that is none of the slot's values is given unchanged.
std::string readableSlotValue(SlotId slot, std::string_view text);

}  // namespace orsa::settings
