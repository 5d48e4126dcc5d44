#pragma once

#include <cstdint>

#include <CLI/CLI.hpp>

namespace orsa::cli {

// Accepts "12" or "0x0C" up to `max` and hands the option its decimal value. CLI11's own integer
// reading takes a leading 0 as octal; a PARAM typed as "010" would then go out as 8.
CLI::Validator numberUpTo(std::uint64_t max);

}  // namespace orsa::cli
