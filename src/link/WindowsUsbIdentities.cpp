#include "link/WindowsUsbIdentities.h"

// clang-format off: initguid.h must come before the headers whose keys and classes it defines.
#include <windows.h>
#include <initguid.h>
#include <cfgmgr32.h>
#include <devguid.h>
#include <devpkey.h>
#include <setupapi.h>
// clang-format on

#include <algorithm>
#include <cctype>
#include <vector>

namespace orsa::link {

namespace {

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string converted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), size, nullptr, nullptr);
  converted.resize(static_cast<std::size_t>(size - 1));
  return converted;
}

std::string deviceId(DEVINST node) {
  char id[MAX_DEVICE_ID_LEN + 1] = {};
  return CM_Get_Device_IDA(node, id, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS ? std::string(id) : std::string{};
}

// The four hex digits after `key` ("VID_") in an instance ID, as lsusb prints them.
std::string idAfter(const std::string& instance, const char* key) {
  const auto at = instance.find(key);
  return at == std::string::npos ? std::string{} : lowerCase(instance.substr(at + 4, 4));
}

std::string portNameOf(HDEVINFO set, SP_DEVINFO_DATA& info) {
  HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
  if (key == INVALID_HANDLE_VALUE) return {};
  char name[256] = {};
  DWORD size = sizeof name - 1;
  DWORD type = 0;
  const LONG read = RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && type == REG_SZ ? std::string(name) : std::string{};
}

std::string busReportedProduct(HDEVINFO set, SP_DEVINFO_DATA& info) {
  DEVPROPTYPE type = 0;
  std::vector<wchar_t> text(256, L'\0');
  if (!SetupDiGetDevicePropertyW(set, &info, &DEVPKEY_Device_BusReportedDeviceDesc, &type,
                                 reinterpret_cast<BYTE*>(text.data()),
                                 static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t)), nullptr, 0) ||
      type != DEVPROP_TYPE_STRING) {
    return {};
  }
  return utf8(text.data());
}

}  // namespace

std::map<std::string, UsbIdentity> usbIdentitiesByPort() {
  std::map<std::string, UsbIdentity> found;
  HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return found;
  SP_DEVINFO_DATA info{};
  info.cbSize = sizeof info;
  for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &info); ++index) {
    const std::string port = portNameOf(set, info);
    std::string instance = deviceId(info.DevInst);
    if (port.empty() || instance.rfind("USB\\", 0) != 0) continue;
    // One interface of a composite device (USB\VID_..&PID_..&MI_00\...): the serial number is its
    // parent's, the USB device itself.
    if (instance.find("&MI_") != std::string::npos) {
      DEVINST parent = 0;
      if (CM_Get_Parent(&parent, info.DevInst, 0) == CR_SUCCESS) instance = deviceId(parent);
    }
    UsbIdentity identity;
    identity.vendorId = idAfter(instance, "VID_");
    identity.productId = idAfter(instance, "PID_");
    // Windows makes up an instance with '&' in it for a device that has no serial number.
    const std::string last = instance.substr(instance.rfind('\\') + 1);
    if (last.find('&') == std::string::npos) identity.serialNumber = last;
    identity.product = busReportedProduct(set, info);
    found[port] = identity;
  }
  SetupDiDestroyDeviceInfoList(set);
  return found;
}

}  // namespace orsa::link
