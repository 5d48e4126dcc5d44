#include "cli/HelpFormatter.h"

#include "cli/Command.h"

namespace orsa::cli {

namespace {

const char* usageOf(const CLI::App* app) {
  if (!app->get_parent()) return "[--port NAME] [--trace] COMMAND [ARGS]";
  for (const auto& command : commands()) {
    if (app->get_name() == command.name) return command.usage;
  }
  return nullptr;
}

}  // namespace

std::string HelpFormatter::make_usage(const CLI::App* app, std::string name) const {
  const char* usage = usageOf(app);
  if (!usage) return CLI::Formatter::make_usage(app, std::move(name));
  return "usage: " + name + ' ' + usage + "\n\n";
}

std::string HelpFormatter::make_subcommands(const CLI::App* app, CLI::AppFormatMode) const {
  std::string text = "Commands:\n";
  for (const CLI::App* sub : app->get_subcommands([](const CLI::App* candidate) {
         return !candidate->get_group().empty();  // "help" is kept for old scripts, not shown
       })) {
    text += make_subcommand(sub);
  }
  return text + '\n';
}

std::string HelpFormatter::make_subcommand(const CLI::App* sub) const {
  const char* usage = usageOf(sub);
  return "  " + sub->get_name() + (usage ? std::string(" ") + usage : "") + "\n      " + sub->get_description() + '\n';
}

}  // namespace orsa::cli
