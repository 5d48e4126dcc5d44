#pragma once

#include <string_view>

namespace orsa::link {

// Orders names as people count: ttyACM2 before ttyACM10, COM9 before COM10.
bool naturalLess(std::string_view a, std::string_view b);

}  // namespace orsa::link
