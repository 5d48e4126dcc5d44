#pragma once

#include <string>

#include "cli/CliContext.h"
#include "settings/SettingsRecord.h"

namespace orsa::cli {

// Runs one settings read or write on a worker, with a progress bar on standard error, and turns
// its outcome into the tool's exit status (the message goes to standard error on failure).
struct ExchangeOutcome {
  int status;
  std::string message;  // the result text of the operation, if it gave one
};

ExchangeOutcome exchangeSettings(CliContext& context, settings::SettingsRecord& record, std::int32_t mode);

}  // namespace orsa::cli
