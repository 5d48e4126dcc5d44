#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "link/DeviceConnection.h"
#include "link/PortList.h"

namespace orsa::cli {

namespace {

using Json = nlohmann::ordered_json;

// JSON on one line with a space after each ',' and ':', as the list has always been printed: scripts
// match on it. A port name that is not UTF-8 is printed with U+FFFD rather than refused.
std::string oneLine(const Json& value) {
  std::string text;
  if (value.is_object()) {
    for (const auto& [key, item] : value.items()) {
      text += (text.empty() ? "{" : ", ") + Json(key).dump(-1, ' ', false, Json::error_handler_t::replace) + ": " +
              oneLine(item);
    }
    return text.empty() ? "{}" : text + "}";
  }
  if (value.is_array()) {
    for (const auto& item : value) text += (text.empty() ? "[" : ", ") + oneLine(item);
    return text.empty() ? "[]" : text + "]";
  }
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// "1a86:7523, серийный номер 0001, «ОРСА Т4»": what tells two beacons apart before either is opened.
std::string identityText(const link::UsbIdentity& usb) {
  if (!usb.known()) return {};
  std::string text = usb.vendorId + ":" + usb.productId;
  if (!usb.serialNumber.empty()) text += ", серийный номер " + usb.serialNumber;
  if (!usb.product.empty()) text += ", «" + usb.product + "»";
  return text;
}

Json identityJson(const link::UsbIdentity& usb) {
  if (!usb.known()) return nullptr;
  const auto textOrNull = [](const std::string& text) { return text.empty() ? Json() : Json(text); };
  return {{"vendor_id", usb.vendorId},
          {"product_id", usb.productId},
          {"serial", textOrNull(usb.serialNumber)},
          {"product", textOrNull(usb.product)},
          {"manufacturer", textOrNull(usb.manufacturer)}};
}

}  // namespace

CommandRun definePorts(CLI::App& app) {
  auto json = std::make_shared<bool>(false);
  app.add_flag("--json", *json,
               "print the list as JSON: [{\"port\": ..., \"automatic\": true|false, \"usb\": {\"vendor_id\", "
               "\"product_id\", \"serial\", \"product\", \"manufacturer\"} or null}, ...]");
  return [json](CliContext& context) {
    const auto ports = link::listOpenablePorts(context.portMap(), link::portOpens);
    const auto automatic = link::automaticPort(context.portMap());
    const auto entries = context.portMap().entries();
    const auto usbOf = [&entries](const std::string& port) {
      for (const auto& entry : entries) {
        if (entry.portName == port) return entry.usb;
      }
      return link::UsbIdentity{};
    };
    if (*json) {
      Json list = Json::array();
      for (const auto& port : ports) {
        list.push_back({{"port", port}, {"automatic", automatic == port}, {"usb", identityJson(usbOf(port))}});
      }
      context.out << oneLine(list) << '\n';
      return static_cast<int>(kExitSuccess);
    }
    if (ports.empty()) {
      context.out << "no serial port opens\n";
    }
    std::size_t width = 0;
    for (const auto& port : ports) width = std::max(width, port.size());
    for (const auto& port : ports) {
      std::string line = (automatic == port ? "* " : "  ") + port;
      if (const std::string usb = identityText(usbOf(port)); !usb.empty()) {
        line += std::string(width - port.size() + 2, ' ') + usb;
      }
      context.out << line << '\n';
    }
    if (!automatic) {
      context.out << "(no automatic choice: it needs exactly one USB CDC-ACM device)\n";
    }
    return static_cast<int>(kExitSuccess);
  };
}

}  // namespace orsa::cli
