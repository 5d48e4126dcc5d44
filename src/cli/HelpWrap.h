#pragma once

#include <cstddef>
#include <string>

namespace orsa::cli {

// The width help is wrapped to: COLUMNS when it holds a number, else the width of the terminal the
// help goes to, else 80.
std::size_t helpColumns();

// Every line longer than `columns` characters broken at blanks: an option's or a command's description
// goes on under its own first column, any other line under its own indent. A word longer than a
// line is cut, so no line is ever wider than `columns`.
std::string wrapHelp(const std::string& help, std::size_t columns);

}  // namespace orsa::cli
