#include <CLI/CLI.hpp>
#include <map>
#include <memory>

#include "cli/Command.h"
#include "cli/ServiceOperation.h"
#include "settings/Cp1251.h"

namespace orsa::cli {

namespace {

using service::ServiceThread;

// The number goes to the modem in Windows-1251, as typed in the window's phone field.
std::string phoneArgument(const std::vector<std::string>& words, const std::string& action) {
  if (words.size() != 2 || words[1].empty()) throw UsageError(action + " needs one PHONE");
  const auto bytes = settings::Cp1251::fromUtf8Strict(words[1]);
  if (!bytes.ok()) throw UsageError("PHONE: " + bytes.errorText());
  return bytes.bytes;
}

int runAction(CliContext& context, const std::vector<std::string>& words) {
  const std::string& action = words[0];
  static const std::map<std::string, std::int32_t> withoutArgument = {
      {"modem-on", ServiceThread::kModemOn}, {"modem-off", ServiceThread::kModemOff},
      {"gnss-on", ServiceThread::kGnssOn},   {"gnss-off", ServiceThread::kGnssOff},
      {"hangup", ServiceThread::kHangUp},
  };
  if (const auto found = withoutArgument.find(action); found != withoutArgument.end()) {
    if (words.size() != 1) throw UsageError(action + " takes no argument");
    return runServiceOperation(context, found->second);
  }
  if (action == "sim-entry") {
    if (words.size() != 2 || (words[1] != "create" && words[1] != "clear")) {
      throw UsageError("sim-entry needs create or clear");
    }
    return runServiceOperation(
        context, words[1] == "create" ? ServiceThread::kCreateTestSimEntry : ServiceThread::kClearTestSimEntry);
  }
  if (action == "imei-sms")
    return runServiceOperation(context, ServiceThread::kSendImeiSms, phoneArgument(words, action));
  if (action == "call") return runServiceOperation(context, ServiceThread::kCall, phoneArgument(words, action));
  throw UsageError("unknown service action \"" + action + "\"");
}

}  // namespace

CommandRun defineService(CLI::App& app) {
  auto words = std::make_shared<std::vector<std::string>>(2);
  app.add_option("ACTION", (*words)[0],
                 "modem-on, modem-off, gnss-on, gnss-off, hangup, sim-entry create|clear, imei-sms PHONE, call PHONE")
      ->required();
  CLI::Option* argument = app.add_option("ARGUMENT", (*words)[1], "create or clear for sim-entry, the PHONE to call");
  return [words, argument](CliContext& context) -> int {
    const std::vector<std::string> given(words->begin(), words->begin() + (argument->count() > 0 ? 2 : 1));
    return runAction(context, given);
  };
}

}  // namespace orsa::cli
