#pragma once

#include <span>

#include "cli/Arguments.h"
#include "cli/CliContext.h"

namespace orsa::cli {

// One orsactl command. Each lives in its own file; the table in Commands.cpp lists them.
struct Command {
  const char* name;
  const char* usage;    // the words after the name
  const char* summary;  // one line for --help
  int (*run)(CliContext& context, Arguments& arguments);
};

std::span<const Command> commands();

int runPorts(CliContext& context, Arguments& arguments);
int runRaw(CliContext& context, Arguments& arguments);
int runFirmware(CliContext& context, Arguments& arguments);
int runShow(CliContext& context, Arguments& arguments);
int runRead(CliContext& context, Arguments& arguments);
int runWrite(CliContext& context, Arguments& arguments);
int runDefaults(CliContext& context, Arguments& arguments);
int runCommandFile(CliContext& context, Arguments& arguments);
int runService(CliContext& context, Arguments& arguments);
int runUpload(CliContext& context, Arguments& arguments);
int runNmea(CliContext& context, Arguments& arguments);
int runGnssFlash(CliContext& context, Arguments& arguments);

}  // namespace orsa::cli
