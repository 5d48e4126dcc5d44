#include <CLI/CLI.hpp>
#include <map>
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
using service::ModemInfoItem;
using service::ServiceThread;

// The number goes to the modem in Windows-1251, as typed in the window's phone field. One the
// modem could not dial, or that could end its command line, is refused before the beacon is asked.
std::string phoneArgument(const std::vector<std::string>& words, const std::string& action) {
  if (words.size() != 2 || words[1].empty()) throw UsageError(action + " needs one PHONE");
  const auto bytes = settings::Cp1251::fromUtf8Strict(words[1]);
  if (!bytes.ok()) throw UsageError("PHONE: " + bytes.errorText());
  if (!service::dialablePhoneNumber(bytes.bytes)) {
    throw UsageError("PHONE \"" + words[1] + "\" is not a phone number: " + service::kPhoneNumberRule);
  }
  return bytes.bytes;
}

// Every question is a key, so a script need not look for it: the modem's answer, null where the
// modem has no such command, and the words that say it did not answer otherwise ("unanswered"
// lists those). The signal and the supply also come as numbers, null when there is none.
Json modemInfoJson(const std::vector<ModemInfoItem>& items) {
  static const std::map<std::string, std::string, std::less<>> numberKeys = {{"signal", "signal_dbm"},
                                                                             {"supply", "supply_mv"}};
  Json json = Json::object();
  Json unanswered = Json::array();
  for (const ModemInfoItem& item : items) {
    json[item.key] = item.state == ModemInfoItem::State::Unsupported ? Json() : Json(item.value);
    if (item.state == ModemInfoItem::State::NoAnswer) unanswered.push_back(item.key);
    if (const auto found = numberKeys.find(item.key); found != numberKeys.end()) {
      json[found->second] = item.number ? Json(*item.number) : Json();
    }
  }
  json["unanswered"] = std::move(unanswered);
  return json;
}

int runAction(CliContext& context, const std::vector<std::string>& words, bool json) {
  const std::string& action = words[0];
  if (json && action != "info") throw UsageError("--json goes with info only");
  static const std::map<std::string, std::int32_t> withoutArgument = {
      {"modem-on", ServiceThread::kModemOn}, {"modem-off", ServiceThread::kModemOff},
      {"gnss-on", ServiceThread::kGnssOn},   {"gnss-off", ServiceThread::kGnssOff},
      {"hangup", ServiceThread::kHangUp},    {"info", ServiceThread::kModemInfo},
  };
  ServiceRequest request;
  if (const auto found = withoutArgument.find(action); found != withoutArgument.end()) {
    if (words.size() != 1) throw UsageError(action + " takes no argument");
    request.mode = found->second;
    if (json) {
      request.report = [&context](const ServiceThread& operation) {
        context.out << modemInfoJson(operation.modemInfo).dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
      };
    }
  } else if (action == "sim-entry") {
    if (words.size() != 2 || (words[1] != "create" && words[1] != "clear")) {
      throw UsageError("sim-entry needs create or clear");
    }
    request.mode = words[1] == "create" ? ServiceThread::kCreateTestSimEntry : ServiceThread::kClearTestSimEntry;
  } else if (action == "imei-sms" || action == "call") {
    request.mode = action == "call" ? ServiceThread::kCall : ServiceThread::kSendImeiSms;
    request.phoneNumber = phoneArgument(words, action);
  } else {
    throw UsageError("unknown service action \"" + action + "\"");
  }
  return runServiceOperation(context, std::move(request));
}

}  // namespace

CommandRun defineService(CLI::App& app) {
  struct Options {
    std::vector<std::string> words = std::vector<std::string>(2);
    bool json = false;
  };
  auto options = std::make_shared<Options>();
  app.add_option("ACTION", options->words[0],
                 "modem-on, modem-off, gnss-on, gnss-off, hangup, sim-entry create|clear, imei-sms PHONE, call "
                 "PHONE, info")
      ->required();
  CLI::Option* argument =
      app.add_option("ARGUMENT", options->words[1], "create or clear for sim-entry, the PHONE to call");
  app.add_flag("--json", options->json,
               "info only: one JSON object on standard output, the log on standard error (see the examples)");
  app.footer(
      "PHONE: an optional + and 3 to 20 of the digits, * and #; spaces, dashes and brackets are dropped.\n"
      "Ctrl-C stops the operation within about a second, leaves the modem in command mode and exits with 130.\n\n"
      "Examples:\n"
      "  orsactl service modem-on\n"
      "  orsactl service call \"+7 (916) 123-45-67\"\n"
      "  orsactl service info\n"
      "      the modem's model, firmware, IMEI, SIM, ICCID, signal, registration, operator and supply\n"
      "  orsactl service info --json\n"
      "      {\"model\": \"SIM800 R14.18\", ..., \"signal\": \"-77 дБм (CSQ 18)\", \"signal_dbm\": -77, ...,\n"
      "       \"supply\": \"4,012 В (85 %)\", \"supply_mv\": 4012, \"unanswered\": []}\n"
      "      (\"orsactl --help\" says what each key holds)");
  return [options, argument](CliContext& context) -> int {
    const std::vector<std::string> given(options->words.begin(),
                                         options->words.begin() + (argument->count() > 0 ? 2 : 1));
    return runAction(context, given, options->json);
  };
}

}  // namespace orsa::cli
