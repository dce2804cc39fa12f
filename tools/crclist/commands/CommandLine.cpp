#include "commands/CommandLine.h"

#include <CLI/CLI.hpp>
#include <map>
#include <string>
#include <utility>

#include "commands/LintCommand.h"
#include "commands/MakeCommand.h"
#include "commands/ShowCommand.h"
#include "commands/VerifyCommand.h"

namespace {

const std::string kImage = "an image of the disc (ISO, UDF, raw, or its cue, ccd or mds file)";

}  // namespace

CommandLine::CommandLine(std::function<bool()> stopPolled, ProgressTerminal terminal)
    : stopRequested(std::move(stopPolled)), progressTerminal(std::move(terminal)) {}

int CommandLine::Run(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err) const {
  CLI::App app("Makes, shows, lints and verifies Disksentry check lists (crclist.INF).", "crclist");
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("crclist ") + CRCLIST_VERSION);

  MakeOptions make;
  CLI::App* makeCommand = app.add_subcommand("make", "write the check list of a disc folder");
  CLI::Option* makeFolder = makeCommand->add_option("DIR", make.folder, "the disc folder");
  makeCommand->add_option("--image", make.image, kImage + ", in place of DIR")
      ->excludes(makeFolder);
  makeCommand->add_option("--title", make.title, "the caption of Disksentry's dialogs and boxes");
  makeCommand->add_option("--game", make.gameKey,
                          "the game's registry key under HKEY_CURRENT_USER");
  makeCommand->add_option("--message-file", make.messageFile,
                          "UTF-8 text whose lines explain the check to the player");
  makeCommand->add_option("--drive-info", make.driveInfo, "the prompt of the drive selection");
  makeCommand
      ->add_option("--reg", make.registryFiles,
                   "an installed file: the registry value NAME holds its path, and FILE is "
                   "a copy to take its size and CRC-32 from")
      ->type_name("NAME=FILE")
      ->allow_extra_args(false);
  makeCommand->add_option("-o,--output", make.output,
                          "the list to write (default DIR/crclist.INF; needed with --image)");

  ShowOptions show;
  CLI::App* showCommand =
      app.add_subcommand("show", "print what Disksentry reads from a check list");
  showCommand->add_flag("--json", show.json, "one JSON object instead of text");
  CLI::Option* showFile = showCommand->add_option("FILE", show.file, "the check list");
  showCommand
      ->add_option("--image", show.image, kImage + ", whose own crclist.INF is shown")
      ->excludes(showFile);

  LintOptions lint;
  CLI::App* lintCommand =
      app.add_subcommand("lint", "report what in a check list will not read as meant");
  lintCommand->add_option("FILE", lint.file, "the check list")->required();
  CLI::Option* lintRoot =
      lintCommand->add_option("--root", lint.root, "the disc folder, to find the listed files in");
  lintCommand
      ->add_option("--image", lint.image, kImage + ", in place of --root")
      ->excludes(lintRoot);

  VerifyOptions verify;
  CLI::App* verifyCommand =
      app.add_subcommand("verify", "verify a disc folder's files against its check list");
  CLI::Option* listArgument = verifyCommand->add_option(
      "LIST", verify.list,
      "the check list, or a folder holding crclist.INF (default: ROOT/crclist.INF, or the "
      "image's own)");
  verifyCommand->add_option("--list", verify.list, "the same as LIST")->excludes(listArgument);
  CLI::Option* verifyRoot = verifyCommand->add_option(
      "--root", verify.root, "the disc folder (default: the list's folder, else the current one)");
  verifyCommand
      ->add_option("--image", verify.image, kImage + ", in place of --root")
      ->excludes(verifyRoot);
  verifyCommand->add_flag(
      "--keep-going", verify.keepGoing,
      "verify every file and list every failure instead of stopping at the first");
  verifyCommand->add_flag("--strict", verify.strict,
                          "fail the run when the list holds anything reported before it");
  verifyCommand
      ->add_option("--json", verify.json,
                   "write a JSON report of every listed file to FILE ('-': standard "
                   "output)")
      ->type_name("FILE");
  CLI::Option* quiet = verifyCommand->add_flag("-q,--quiet", verify.quiet, "print failures only");
  verifyCommand->add_flag("-v,--verbose", verify.verbose, "print every file verified")
      ->excludes(quiet);
  verifyCommand
      ->add_option("--reading", verify.reading,
                   "parallel: several files read at once; sequential: one file at a time, in "
                   "list order; auto (default): parallel on solid-state disks only")
      ->transform(CLI::CheckedTransformer(
          std::map<std::string, ReadingOrder>{{"auto", ReadingOrder::Auto},
                                              {"parallel", ReadingOrder::Parallel},
                                              {"sequential", ReadingOrder::Sequential}}));

  try {
    // CLI11 takes its arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    return app.exit(error, out, err) == 0 ? 0 : 2;
  }
  CommandOutcome outcome{2, ""};
  if (makeCommand->parsed()) {
    outcome = MakeCommand(make, stopRequested, progressTerminal).Run(out, err);
  } else if (showCommand->parsed()) {
    outcome = ShowCommand(show).Run(out);
  } else if (lintCommand->parsed()) {
    outcome = LintCommand(lint).Run(out);
  } else if (verifyCommand->parsed()) {
    outcome = VerifyCommand(verify, stopRequested, progressTerminal).Run(out, err);
  }
  if (!outcome.message.empty()) err << "crclist: " << outcome.message << "\n";
  return outcome.code;
}
