// The simulated beacon lives on a pseudo-terminal, which Windows does not have: --demo says so.
#include <system_error>

#include "DemoBeacon.h"

namespace orsa::app {

struct DemoBeacon::Simulated {};

DemoBeacon::DemoBeacon() {
  throw std::system_error(std::make_error_code(std::errc::not_supported),
                          "the simulated beacon needs a pseudo-terminal (Linux)");
}

DemoBeacon::~DemoBeacon() = default;

QString DemoBeacon::portPath() const { return {}; }

}  // namespace orsa::app
