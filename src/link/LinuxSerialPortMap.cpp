#include "link/LinuxSerialPortMap.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/NaturalOrder.h"

namespace orsa::link {

namespace fs = std::filesystem;

namespace {

// A USB CDC-ACM port's device is the USB interface, whose parent is the USB device; a USB-to-serial
// adapter's port sits one level lower. Three steps up reach the device in either case and stop
// before a bus far above could answer for it.
constexpr int kLevelsToUsbDevice = 3;

std::string attribute(const fs::path& file) {
  std::ifstream in(file);
  std::string text;
  std::getline(in, text);
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) text.pop_back();
  return text;
}

UsbIdentity usbIdentityOf(const fs::path& ttyDir) {
  std::error_code ec;
  fs::path device = fs::canonical(ttyDir / "device", ec);
  if (ec) return {};
  for (int level = 0; level < kLevelsToUsbDevice && !device.empty(); ++level, device = device.parent_path()) {
    if (!fs::exists(device / "idVendor", ec)) continue;
    return {attribute(device / "idVendor"), attribute(device / "idProduct"), attribute(device / "serial"),
            attribute(device / "product"), attribute(device / "manufacturer")};
  }
  return {};
}

}  // namespace

LinuxSerialPortMap::LinuxSerialPortMap(std::string sysClassTty, std::string devDir)
    : sysClassTty_(std::move(sysClassTty)), devDir_(std::move(devDir)) {}

std::vector<SerialPortMap::Entry> LinuxSerialPortMap::entries() const {
  std::vector<Entry> found;
  std::error_code ec;
  for (fs::directory_iterator it(sysClassTty_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code linkError;
    fs::path driver = fs::read_symlink(it->path() / "device" / "driver", linkError);
    if (linkError) continue;  // virtual terminals and ptys have no device behind them
    found.push_back(
        {driver.filename().string(), devDir_ + "/" + it->path().filename().string(), usbIdentityOf(it->path())});
  }
  std::sort(found.begin(), found.end(),
            [](const Entry& a, const Entry& b) { return naturalLess(a.portName, b.portName); });
  return found;
}

std::unique_ptr<SerialPortMap> makeSystemSerialPortMap() { return std::make_unique<LinuxSerialPortMap>(); }

}  // namespace orsa::link
