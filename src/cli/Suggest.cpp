#include "cli/Suggest.h"

#include <algorithm>

namespace orsa::cli {

namespace {

std::string lowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

// Levenshtein distance: letters inserted, removed or changed.
std::size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::optional<std::string> closestName(std::string_view typed, const std::vector<std::string>& candidates) {
  constexpr std::size_t kFarthest = 2;
  std::optional<std::string> closest;
  std::size_t best = kFarthest + 1;
  const std::string wanted = lowerAscii(typed);
  for (const std::string& candidate : candidates) {
    const std::size_t distance = editDistance(wanted, lowerAscii(candidate));
    if (distance < best) {
      best = distance;
      closest = candidate;
    }
  }
  return closest;
}

}  // namespace orsa::cli
