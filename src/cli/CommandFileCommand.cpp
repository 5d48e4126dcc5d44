#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "service/ServerCommandFile.h"

namespace orsa::cli {

int runCommandFile(CliContext& context, Arguments& arguments) {
  using service::ServerCommandFile;
  const auto words = arguments.positionals();
  if (words.empty() || words.size() > 2) throw UsageError("command-file needs a MODE and at most one file name");
  const auto code = ServerCommandFile::modeCodeOf(words[0]);
  if (!code) throw UsageError("MODE is search, test, daily or 1 to 3, not \"" + words[0] + "\"");

  const std::string path =
      ServerCommandFile::nameForSaving(words.size() == 2 ? words[1] : std::string(ServerCommandFile::kProposedName));
  const auto written = ServerCommandFile::save(path, *code);
  if (!written) {
    context.err << written.message() << ": " << path << " (" << written.detail() << ")\n";
    return kExitFailed;
  }
  context.out << path << ": " << ServerCommandFile::kModeEntries[*code - 1] << '\n';
  return kExitSuccess;
}

}  // namespace orsa::cli
