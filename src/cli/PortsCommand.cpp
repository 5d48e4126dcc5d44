#include <CLI/CLI.hpp>
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

}  // namespace

CommandRun definePorts(CLI::App& app) {
  auto json = std::make_shared<bool>(false);
  app.add_flag("--json", *json, "print the list as JSON: [{\"port\": ..., \"automatic\": true|false}, ...]");
  return [json](CliContext& context) {
    const auto ports = link::listOpenablePorts(context.portMap(), link::portOpens);
    const auto automatic = link::automaticPort(context.portMap());
    if (*json) {
      Json list = Json::array();
      for (const auto& port : ports) list.push_back({{"port", port}, {"automatic", automatic == port}});
      context.out << oneLine(list) << '\n';
      return static_cast<int>(kExitSuccess);
    }
    if (ports.empty()) {
      context.out << "no serial port opens\n";
    }
    for (const auto& port : ports) {
      context.out << (automatic == port ? "* " : "  ") << port << '\n';
    }
    if (!automatic) {
      context.out << "(no automatic choice: it needs exactly one USB CDC-ACM device)\n";
    }
    return static_cast<int>(kExitSuccess);
  };
}

}  // namespace orsa::cli
