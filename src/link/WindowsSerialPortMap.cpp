#include "link/WindowsSerialPortMap.h"

#include "link/WindowsUsbIdentities.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace orsa::link {

namespace {

constexpr int kHighestListedPort = 254;

}  // namespace

WindowsSerialPortMap::WindowsSerialPortMap(std::string keyPath) : keyPath_(std::move(keyPath)) {}

std::vector<SerialPortMap::Entry> WindowsSerialPortMap::entries() const {
  std::vector<Entry> found;
  HKEY key = nullptr;
  const auto identities = usbIdentitiesByPort();
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return found;
  DWORD valueCount = 0;
  DWORD longestName = 0;
  DWORD longestData = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, &longestName,
                       &longestData, nullptr, nullptr) == ERROR_SUCCESS) {
    std::vector<char> name(longestName + 1);
    std::vector<BYTE> data(longestData + 1);
    // In the order the registry gives them: the automatic choice counts candidates, it does not sort.
    for (DWORD index = 0; index < valueCount; ++index) {
      auto nameLength = static_cast<DWORD>(name.size());
      auto dataLength = static_cast<DWORD>(data.size() - 1);
      DWORD type = 0;
      if (RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength) !=
              ERROR_SUCCESS ||
          type != REG_SZ) {
        continue;
      }
      // Registry text need not end in a zero of its own.
      std::string port(reinterpret_cast<const char*>(data.data()), dataLength);
      if (const auto end = port.find('\0'); end != std::string::npos) port.resize(end);
      const auto identity = identities.find(port);
      found.push_back({std::string(name.data(), nameLength), port,
                       identity == identities.end() ? UsbIdentity{} : identity->second});
    }
  }
  RegCloseKey(key);
  return found;
}

std::vector<std::string> WindowsSerialPortMap::portNamesToList() const {
  std::vector<std::string> names;
  for (int number = 1; number <= kHighestListedPort; ++number) names.push_back("COM" + std::to_string(number));
  return names;
}

std::unique_ptr<SerialPortMap> makeSystemSerialPortMap() { return std::make_unique<WindowsSerialPortMap>(); }

}  // namespace orsa::link
