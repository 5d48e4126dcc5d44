#include "link/PollingPortWatcher.h"

namespace orsa::link {

// RegisterDeviceNotification needs a window to receive WM_DEVICECHANGE; the command line has none,
// so the registry's port map is looked at twice a second instead.
std::unique_ptr<PortWatcher> makeSystemPortWatcher(std::unique_ptr<SerialPortMap> map, std::string&) {
  return std::make_unique<PollingPortWatcher>(std::move(map));
}

}  // namespace orsa::link
