#include "sim/GnssModel.h"

namespace orsa::sim {

std::vector<std::uint8_t> SilentGnssModel::onData(std::span<const std::uint8_t> /*data*/) { return {}; }

}  // namespace orsa::sim
