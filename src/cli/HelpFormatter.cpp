#include "cli/HelpFormatter.h"

#include "cli/Command.h"

namespace orsa::cli {

namespace {

const char* usageOf(const CLI::App* app) {
  if (!app->get_parent()) return "[--port NAME ... | --all] [--json] [--trace] [--record FILE] COMMAND [ARGS]";
  for (const auto& command : commands()) {
    if (app->get_name() == command.name) return command.usage;
  }
  return nullptr;
}

}  // namespace

std::string HelpFormatter::make_usage(const CLI::App* app, std::string name) const {
  const char* usage = usageOf(app);
  if (!usage) return CLI::Formatter::make_usage(app, std::move(name));
  return "usage: " + name + ' ' + usage + '\n';
}

std::string HelpFormatter::make_subcommands(const CLI::App* app, CLI::AppFormatMode) const {
  std::string text;
  for (const CLI::App* sub : app->get_subcommands([](const CLI::App* candidate) {
         return !candidate->get_group().empty();  // "help" is kept for old scripts, not shown
       })) {
    text += make_subcommand(sub);
  }
  return text.empty() ? text : "\nCommands:\n" + text;
}

std::string HelpFormatter::make_subcommand(const CLI::App* sub) const {
  const char* usage = usageOf(sub);
  return "  " + sub->get_name() + (usage ? std::string(" ") + usage : "") + "\n      " + sub->get_description() + '\n';
}

std::string HelpFormatter::make_option_opts(const CLI::Option* option) const {
  // The usage line says what a word is; "UINT:NUMBER REQUIRED" after it only repeats that in code.
  return option->get_positional() ? std::string() : CLI::Formatter::make_option_opts(option);
}

}  // namespace orsa::cli
