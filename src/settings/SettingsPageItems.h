#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace orsa::settings {

// The item texts (UTF-8) of the lists on the settings pages, by list number: 1 time zone;
// 2, 4, 6, 8, 10 hours; 3, 5, 7, 9, 11 minutes; 13 motion time-out; 14 amplitude; 15 duration;
// 16 fix period; 18 zone control; 19 delivery mode. Numbers without a list (12, 17, anything
// else) give no items. The windows fill their lists from here so page indexes mean the same
// everywhere.
std::span<const std::string> comboBoxItems(int comboBoxNumber);

// How many characters typing may bring a field to. Typing only: a longer text that the beacon or
// a settings file holds is shown and written back whole, so the window and the command line agree.
inline constexpr std::size_t kEdit2TypingLimit = 4;  // PIN
inline constexpr std::size_t kEdit6TypingLimit = 3;  // zone diameter in km

}  // namespace orsa::settings
