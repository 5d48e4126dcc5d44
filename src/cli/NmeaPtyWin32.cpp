// Windows has no pseudo-terminals for a GPS program to read: --pty is refused with its reason.
#include <system_error>

#include "cli/NmeaPty.h"

namespace orsa::cli {

NmeaPty::NmeaPty(std::filesystem::path link) : link_(std::move(link)) {
  throw std::system_error(std::make_error_code(std::errc::not_supported), "pseudo-terminals exist on Linux only");
}

NmeaPty::~NmeaPty() = default;

void NmeaPty::write(std::string_view) {}

}  // namespace orsa::cli
