#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orsa::cli {

// The candidate a mistyped name most likely meant: at most two letters away (ASCII case ignored),
// the nearest first; none when nothing is that close.
std::optional<std::string> closestName(std::string_view typed, const std::vector<std::string>& candidates);

}  // namespace orsa::cli
