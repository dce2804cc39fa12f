#include "commands/CommandLine.h"

#include <CLI/CLI.hpp>
#include <map>
#include <utility>

namespace {

const std::map<std::string, ReadingOrder> kReadingOrders = {
    {"auto", ReadingOrder::Auto},
    {"parallel", ReadingOrder::Parallel},
    {"sequential", ReadingOrder::Sequential}};

std::string Choices(const std::map<std::string, ReadingOrder>& values) {
  std::string words;
  for (const auto& value : values) words += (words.empty() ? "" : "|") + value.first;
  return words;
}

const std::string kImage = "an image of the disc (ISO, UDF, raw, or its cue, ccd or mds file)";

}  // namespace

CommandLine::CommandLine(std::function<bool()> stopPolled, ProgressTerminal terminal)
    : stopRequested(std::move(stopPolled)), progressTerminal(std::move(terminal)) {}

std::unique_ptr<CLI::App> CommandLine::Parser(CommandOptions& options) {
  auto app = std::make_unique<CLI::App>(
      "Makes, shows, lints and verifies Disksentry check lists (crclist.INF).", "crclist");
  app->require_subcommand(1);
  app->set_version_flag("--version", std::string("crclist ") + CRCLIST_VERSION);
  app->footer("Exit status: 2 for a usage error; each command's --help tells its own.");

  MakeOptions& make = options.make;
  CLI::App* makeCommand = app->add_subcommand("make", "write the check list of a disc folder");
  makeCommand->footer(
      "Exit status: 0 written, 2 not written (a usage error, a file that cannot be read, a list "
      "Disksentry could not use), 130 stopped by Ctrl-C.");
  CLI::Option* makeFolder =
      makeCommand->add_option("DIR", make.folder, "the disc folder")->type_name("");
  makeCommand->add_option("--image", make.image, kImage + ", in place of DIR")
      ->type_name("IMAGE")
      ->excludes(makeFolder);
  makeCommand->add_option("--title", make.title, "the caption of Disksentry's dialogs and boxes")
      ->type_name("TITLE");
  makeCommand
      ->add_option("--game", make.gameKey, "the game's registry key under HKEY_CURRENT_USER")
      ->type_name("KEY");
  makeCommand
      ->add_option("--message-file", make.messageFile,
                   "UTF-8 text whose lines explain the check to the player")
      ->type_name("FILE");
  makeCommand->add_option("--drive-info", make.driveInfo, "the prompt of the drive selection")
      ->type_name("PROMPT");
  makeCommand
      ->add_option("--reg", make.registryFiles,
                   "an installed file: the registry value NAME holds its path, and FILE is "
                   "a copy to take its size and CRC-32 from")
      ->type_name("NAME=FILE")
      ->allow_extra_args(false);
  makeCommand
      ->add_option("-o,--output", make.output,
                   "the list to write (default DIR/crclist.INF; needed with --image)")
      ->type_name("FILE");

  ShowOptions& show = options.show;
  CLI::App* showCommand =
      app->add_subcommand("show", "print what Disksentry reads from a check list");
  showCommand->footer(
      "Exit status: 0 the list loads, 1 it does not (an empty list among them), 2 the file "
      "cannot be read.");
  showCommand->add_flag("--json", show.json, "one JSON object instead of text");
  CLI::Option* showFile =
      showCommand->add_option("FILE", show.file, "the check list")->type_name("");
  showCommand->add_option("--image", show.image, kImage + ", whose own crclist.INF is shown")
      ->type_name("IMAGE")
      ->excludes(showFile);

  LintOptions& lint = options.lint;
  CLI::App* lintCommand =
      app->add_subcommand("lint", "report what in a check list will not read as meant");
  lintCommand->footer(
      "Exit status: 0 nothing found, 1 findings, 2 the file cannot be read or is empty.");
  lintCommand->add_option("FILE", lint.file, "the check list")->type_name("")->required();
  CLI::Option* lintRoot =
      lintCommand->add_option("--root", lint.root, "the disc folder, to find the listed files in")
          ->type_name("DIR");
  lintCommand
      ->add_option("--image", lint.image, kImage + ", in place of --root")
      ->type_name("IMAGE")
      ->excludes(lintRoot);

  VerifyOptions& verify = options.verify;
  CLI::App* verifyCommand =
      app->add_subcommand("verify", "verify a disc folder's files against its check list");
  verifyCommand->footer(
      "Exit status: 0 every file verifies, 1 one fails (or, under --strict, the list has "
      "findings), 2 a usage or list error (an empty list among them), 130 stopped by Ctrl-C.");
  CLI::Option* listArgument =
      verifyCommand
          ->add_option("LIST", verify.list,
                       "the check list, or a folder holding crclist.INF (default: "
                       "ROOT/crclist.INF, or the image's own)")
          ->type_name("");
  verifyCommand->add_option("--list", verify.list, "the same as LIST")
      ->type_name("FILE")
      ->excludes(listArgument);
  CLI::Option* verifyRoot =
      verifyCommand
          ->add_option("--root", verify.root,
                       "the disc folder (default: the list's folder, else the current one)")
          ->type_name("DIR");
  verifyCommand
      ->add_option("--image", verify.image, kImage + ", in place of --root")
      ->type_name("IMAGE")
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
      ->transform(CLI::CheckedTransformer(kReadingOrders).description(""))
      ->type_name(Choices(kReadingOrders));
  return app;
}

int CommandLine::Run(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err) const {
  CommandOptions options;
  const std::unique_ptr<CLI::App> app = Parser(options);
  try {
    // CLI11 takes its arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    app->parse(reversed);
  } catch (const CLI::ParseError& error) {
    return app->exit(error, out, err) == 0 ? 0 : 2;
  }
  CommandOutcome outcome{2, ""};
  if (app->got_subcommand("make")) {
    outcome = MakeCommand(options.make, stopRequested, progressTerminal).Run(out, err);
  } else if (app->got_subcommand("show")) {
    outcome = ShowCommand(options.show).Run(out);
  } else if (app->got_subcommand("lint")) {
    outcome = LintCommand(options.lint).Run(out);
  } else if (app->got_subcommand("verify")) {
    outcome = VerifyCommand(options.verify, stopRequested, progressTerminal).Run(out, err);
  }
  if (!outcome.message.empty()) err << "crclist: " << outcome.message << "\n";
  return outcome.code;
}
