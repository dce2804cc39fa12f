#include "CommandLine.h"

#include <CLI/CLI.hpp>
#include <utility>

#include "ShowCommand.h"

CommandLine::CommandLine(std::function<bool()> stopPolled, bool progressShown)
    : stopRequested(std::move(stopPolled)), showProgress(progressShown) {}

int CommandLine::Run(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err) const {
  CLI::App app("Makes, shows, lints and verifies Disksentry check lists (crclist.INF).", "crclist");
  app.require_subcommand(1);

  ShowOptions show;
  CLI::App* showCommand = app.add_subcommand("show", "print what Disksentry reads from a check list");
  showCommand->add_flag("--json", show.json, "one JSON object instead of text");
  showCommand->add_option("FILE", show.file, "the check list")->required();

  try {
    // CLI11 takes its arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, out, err) == 0 ? 0 : 2;
  }
  if (showCommand->parsed()) return ShowCommand(show).Run(out, err);
  return 2;
}
