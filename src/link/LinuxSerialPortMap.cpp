#include "link/LinuxSerialPortMap.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "link/NaturalOrder.h"

namespace orsa::link {

namespace fs = std::filesystem;

LinuxSerialPortMap::LinuxSerialPortMap(std::string sysClassTty, std::string devDir)
    : sysClassTty_(std::move(sysClassTty)), devDir_(std::move(devDir)) {}

std::vector<SerialPortMap::Entry> LinuxSerialPortMap::entries() const {
  std::vector<Entry> found;
  std::error_code ec;
  for (fs::directory_iterator it(sysClassTty_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code linkError;
    fs::path driver = fs::read_symlink(it->path() / "device" / "driver", linkError);
    if (linkError) continue;  // virtual terminals and ptys have no device behind them
    found.push_back({driver.filename().string(), devDir_ + "/" + it->path().filename().string()});
  }
  std::sort(found.begin(), found.end(),
            [](const Entry& a, const Entry& b) { return naturalLess(a.portName, b.portName); });
  return found;
}

std::unique_ptr<SerialPortMap> makeSystemSerialPortMap() { return std::make_unique<LinuxSerialPortMap>(); }

}  // namespace orsa::link
