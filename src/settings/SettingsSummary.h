#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "settings/SettingsRecord.h"

namespace orsa::settings {

// One line of the summary grid, in UTF-8. A value left unset means the cell keeps what it showed
// before: the grid has words only for the tabled numbers of some slots.
struct SummaryRow {
  std::string caption;
  std::optional<std::string> value;
};

inline constexpr std::size_t kSummaryRowCount = 20;

// The settings in words, row by row as the summary grid shows them.
std::array<SummaryRow, kSummaryRowCount> summarize(const SettingsRecord& record);

}  // namespace orsa::settings
