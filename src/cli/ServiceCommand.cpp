#include <map>

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

}  // namespace

int runService(CliContext& context, Arguments& arguments) {
  const auto words = arguments.positionals();
  if (words.empty()) throw UsageError("service needs an action");
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

}  // namespace orsa::cli
