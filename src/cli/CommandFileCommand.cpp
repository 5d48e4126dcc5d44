#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "service/ServerCommandFile.h"
#include "link/Utf8Path.h"

namespace orsa::cli {

CommandRun defineCommandFile(CLI::App& app) {
  struct Words {
    std::string mode;
    std::string out;
  };
  auto words = std::make_shared<Words>();
  app.add_option("MODE", words->mode, "search, test, daily or 1 to 3")->required();
  app.add_option("OUT", words->out, "the file to write, command.cfg by default");
  return [words](CliContext& context) {
    using service::ServerCommandFile;
    const auto code = ServerCommandFile::modeCodeOf(words->mode);
    if (!code) throw UsageError("MODE is search, test, daily or 1 to 3, not \"" + words->mode + "\"");

    const std::string path = ServerCommandFile::nameForSaving(
        words->out.empty() ? std::string(ServerCommandFile::kProposedName) : words->out);
    const auto written = ServerCommandFile::save(link::utf8Path(path), *code);
    if (!written) {
      context.err << "orsactl: " << written.message() << ": " << path << " (" << written.detail() << ")\n";
      return static_cast<int>(kExitFailed);
    }
    context.out << path << ": " << ServerCommandFile::kModeEntries[*code - 1] << '\n';
    return static_cast<int>(kExitSuccess);
  };
}

}  // namespace orsa::cli
