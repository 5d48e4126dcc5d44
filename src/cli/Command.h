#pragma once

#include <functional>
#include <span>

#include "cli/CliContext.h"
#include "cli/UsageError.h"

namespace CLI {
class App;
}

namespace orsa::cli {

// What a command does once its command line was parsed into the values its definition bound.
using CommandRun = std::function<int(CliContext& context)>;

// One orsactl command. Each lives in its own file; the table in Commands.cpp lists them.
struct Command {
  const char* name;
  const char* usage;    // the words after the name
  const char* summary;  // one line for --help
  // Declares the command's options and words on its own App and returns what runs it.
  CommandRun (*define)(CLI::App& app);
};

std::span<const Command> commands();

CommandRun definePorts(CLI::App& app);
CommandRun defineRaw(CLI::App& app);
CommandRun defineFirmware(CLI::App& app);
CommandRun defineShow(CLI::App& app);
CommandRun defineRead(CLI::App& app);
CommandRun defineWrite(CLI::App& app);
CommandRun defineDefaults(CLI::App& app);
CommandRun defineSettings(CLI::App& app);
CommandRun defineDiff(CLI::App& app);
CommandRun defineCommandFile(CLI::App& app);
CommandRun defineService(CLI::App& app);
CommandRun defineUpload(CLI::App& app);
CommandRun defineModem(CLI::App& app);
CommandRun defineNmea(CLI::App& app);
CommandRun defineGnssFlash(CLI::App& app);
CommandRun defineGnssRecover(CLI::App& app);

}  // namespace orsa::cli
