#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/Command.h"
#include "cli/ServiceOperation.h"
#include "service/ModemText.h"
#include "settings/Cp1251.h"

namespace orsa::cli {

namespace {

using Json = nlohmann::ordered_json;
using service::ServiceThread;

// The modem keeps names in Windows-1251; scripts get them in UTF-8, and a size the modem did not
// tell is null rather than a guess.
Json modemFilesJson(const ServiceThread& listing) {
  Json files = Json::array();
  for (const auto& file : listing.modemFiles) {
    files.push_back({{"name", settings::Cp1251::toUtf8(file.name)}, {"size", file.size ? Json(*file.size) : Json()}});
  }
  return {{"files", std::move(files)}, {"free", listing.modemFreeBytes ? Json(*listing.modemFreeBytes) : Json()}};
}

// A name that could not stand in the modem's command is refused before the beacon is asked.
std::string modemFileArgument(const std::string& name) {
  const auto bytes = settings::Cp1251::fromUtf8Strict(name);
  if (!bytes.ok()) throw UsageError("NAME \"" + name + "\": " + bytes.errorText());
  if (!service::isSafeModemFileName(bytes.bytes)) {
    throw UsageError("NAME \"" + name + "\" cannot name a file of the modem: " + service::kModemFileNameRule);
  }
  return bytes.bytes;
}

int runAction(CliContext& context, const std::vector<std::string>& words, bool json) {
  const std::string& action = words[0];
  if (action == "ls") {
    if (words.size() != 1) throw UsageError("ls takes no argument");
    ServiceRequest request;
    request.mode = ServiceThread::kListModemFiles;
    if (json) {
      request.report = [&context](const ServiceThread& listing) {
        context.out << modemFilesJson(listing).dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
      };
    }
    return runServiceOperation(context, std::move(request));
  }
  if (action == "rm") {
    if (json) throw UsageError("--json goes with ls only");
    if (words.size() != 2 || words[1].empty()) throw UsageError("rm needs one NAME");
    ServiceRequest request;
    request.mode = ServiceThread::kRemoveModemFile;
    request.fileName = modemFileArgument(words[1]);
    return runServiceOperation(context, std::move(request));
  }
  throw UsageError("unknown modem action \"" + action + "\"");
}

}  // namespace

CommandRun defineModem(CLI::App& app) {
  struct Options {
    std::vector<std::string> words = std::vector<std::string>(2);
    bool json = false;
  };
  auto options = std::make_shared<Options>();
  app.add_option("ACTION", options->words[0], "ls or rm")->required();
  CLI::Option* argument = app.add_option("NAME", options->words[1], "for rm: the file's name on drive C:");
  app.add_flag("--json", options->json,
               "ls only: {\"files\": [{\"name\": ..., \"size\": N}, ...], \"free\": N} on standard output, the log on "
               "standard error; a size the modem did not tell is null");
  app.footer(
      "Run \"orsactl service modem-on\" first. Ctrl-C stops the operation within about a second and exits with "
      "130.\n\n"
      "Examples:\n"
      "  orsactl modem ls\n"
      "  orsactl modem ls --json\n"
      "      {\"files\": [{\"name\": \"ALARM.AMR\", \"size\": 700}], \"free\": 1048576}\n"
      "  orsactl modem rm ALARM.AMR");
  return [options, argument](CliContext& context) -> int {
    const std::vector<std::string> given(options->words.begin(),
                                         options->words.begin() + (argument->count() > 0 ? 2 : 1));
    return runAction(context, given, options->json);
  };
}

}  // namespace orsa::cli
