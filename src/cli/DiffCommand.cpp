#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/SettingsDiff.h"
#include "cli/SettingsSource.h"

namespace orsa::cli {

namespace {

struct DiffOptions {
  std::string left;
  std::string right;
  bool json = false;
};

}  // namespace

CommandRun defineDiff(CLI::App& app) {
  auto options = std::make_shared<DiffOptions>();
  app.add_option("A", options->left, "the first source: beacon, a port, FILE.cfg or FILE.json")->required();
  app.add_option("B", options->right, "the second source, the same kinds")->required();
  app.add_flag("--json", options->json, "the differences as one JSON object");
  app.footer(
      "A source is the word \"beacon\" (the beacon the command line chose: the automatic choice or --port), a "
      "settings file (FILE.cfg, or any existing file that is not a port), JSON settings (FILE.json), or a serial "
      "port (/dev/ttyACM1, ttyACM1, COM5), whose beacon is read. Only the slots both sources hold are compared: a "
      ".cfg holds no additional server, a JSON file the keys it names; the IMEI and the program's own slots are "
      "never compared.\n"
      "Each differing slot is one line, KEY: \"A's value\" → \"B's value\", in the spelling write --set takes. "
      "Exit status: 0 the sources agree, 1 they differ, 2 a file could not be read (or a usage error), 3 a beacon "
      "is not connected.\n\n"
      "Examples:\n"
      "  orsactl diff beacon saved.cfg\n"
      "      what the beacon holds now against the file\n"
      "  orsactl diff /dev/ttyACM0 /dev/ttyACM1 --json\n"
      "      two beacons side by side, for a script");
  return [options](CliContext& context) -> int {
    SettingsSource left, right;
    if (const int status = loadSettingsSource(context, options->left, left); status != kExitSuccess) return status;
    if (const int status = loadSettingsSource(context, options->right, right); status != kExitSuccess) return status;
    const auto slots = heldBy(heldBy(settableSlots(), left.slots), right.slots);
    const auto differences = differingSlots(left.record, right.record, slots);
    if (options->json || context.options().json) {
      context.out << differencesToJson(options->left, options->right, differences);
    } else {
      printDifferences(context.out, differences);
    }
    return differences.empty() ? kExitSuccess : kExitFailed;
  };
}

}  // namespace orsa::cli
