#include "reference/ManualPage.h"

#include <CLI/CLI.hpp>
#include <vector>

namespace {

// Text that roff shows as it is: backslashes and hyphens escaped, no line taken for a request.
std::string Escaped(const std::string& text) {
  std::string roff = text.empty() || (text[0] != '.' && text[0] != '\'') ? "" : "\\&";
  for (const char c : text) {
    if (c == '\\') {
      roff += "\\e";
    } else if (c == '-') {
      roff += "\\-";
    } else {
      roff += c;
    }
  }
  return roff;
}

std::string Bold(const std::string& text) { return "\\fB" + Escaped(text) + "\\fR"; }
std::string Italic(const std::string& text) { return "\\fI" + Escaped(text) + "\\fR"; }

// "Write the check list of a disc folder." from the parser's "write the check list ...".
std::string Sentence(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text.back() == '.' ? text : text + ".";
}

std::vector<const CLI::App*> Commands(const CLI::App& app) {
  return app.get_subcommands([](const CLI::App*) { return true; });
}

// The usage line that --help prints, without "Usage: ".
std::string Usage(const CLI::App& command) {
  std::string usage = "crclist " + command.get_name() + " [OPTIONS]";
  for (const CLI::Option* option : command.get_options()) {
    if (!option->get_positional()) continue;
    const std::string name = option->get_name(true);
    usage += " " + (option->get_required() ? name : "[" + name + "]");
  }
  return usage;
}

std::string OptionTerm(const CLI::Option& option) {
  std::string names;
  for (const std::string& name : option.get_snames())
    names += (names.empty() ? "" : ", ") + Bold("-" + name);
  for (const std::string& name : option.get_lnames())
    names += (names.empty() ? "" : ", ") + Bold("--" + name);
  const std::string value = option.get_type_name();
  return value.empty() || option.get_expected_max() == 0 ? names : names + " " + Italic(value);
}

// Positionals first, as the usage names them, then the options; a command's --help is told of
// once, among the program's options.
std::string OptionList(const CLI::App& command) {
  std::string list;
  for (const bool positional : {true, false}) {
    for (const CLI::Option* option : command.get_options()) {
      const bool commandHelp = command.get_parent() != nullptr && option == command.get_help_ptr();
      if (option->get_positional() != positional || commandHelp) continue;
      const std::string term = positional ? Italic(option->get_name(true)) : OptionTerm(*option);
      const bool repeats = !positional && option->get_items_expected_max() > 1;
      list += ".TP\n" + term + "\n" + Escaped(Sentence(option->get_description())) +
              (repeats ? " It may be given more than once." : "") + "\n";
    }
  }
  return list;
}

// What each command does beyond its one line in --help.
struct CommandText {
  const char* name;
  const char* text;
};
constexpr CommandText kCommandTexts[] = {
    {"make",
     "Files under DIR/gamedata go into GAMEDATA, every other file into CDFILES, each section "
     "sorted by its CP932 names, with sizes and CRC-32 values, in CP932 with CR LF line ends. "
     "The list is written whole or not at all: an existing list is replaced only once the new "
     "one is complete. A name that a check list cannot hold, a file that cannot be read, or a "
     "list that Disksentry could not use stops the command before anything is written."},
    {"show",
     "The list is read through Disksentry's own loader: whether it loads, then its title, game "
     "key, REG, CDFILES and GAMEDATA entries, message lines and drive prompt, as UTF-8, each "
     "invalid byte the reader reports first."},
    {"lint",
     "Each finding names its line and column and ends with a tag for its kind: invalid bytes, "
     "unknown sections, words and quotes cut by a line end or the end of the file, sizes and "
     "CRCs that read as other values, duplicates, names that leave the disc or that Windows "
     "takes for one. With a disc folder or an image it also reports listed files that are not "
     "there or have another size, and files that the list leaves out; with an image, where the "
     "two sides of a bridge disc differ and the sectors that a drive would fail."},
    {"verify",
     "This is Disksentry's disc check without its windows: CDFILES names are looked up under "
     "the disc folder, GAMEDATA names under its gamedata folder, each file is opened, its size "
     "compared and its CRC-32 computed over every byte. The run stops at the first failure, "
     "as Disksentry does, and prints the findings that change what is verified before it. On "
     "a terminal a progress line shows the run; Ctrl-C stops it between two reads."},
};

std::string CommandSection(const CLI::App& command) {
  std::string section = ".SS " + Escaped(command.get_name()) + "\n" + Bold(Usage(command)) +
                        "\n.PP\n" + Escaped(Sentence(command.get_description())) + "\n";
  for (const CommandText& text : kCommandTexts) {
    if (command.get_name() == text.name) section += Escaped(text.text) + "\n";
  }
  return section + OptionList(command);
}

// A command's footer is "Exit status: " and what each code means.
std::string ExitStatus(const CLI::App& app) {
  const std::string prefix = "Exit status: ";
  std::string section = ".SH EXIT STATUS\n";
  for (const CLI::App* command : Commands(app)) {
    const std::string footer = command->get_footer();
    const std::string meanings =
        footer.rfind(prefix, 0) == 0 ? footer.substr(prefix.size()) : footer;
    section += ".TP\n" + Bold(command->get_name()) + "\n" + Escaped(Sentence(meanings)) + "\n";
  }
  return section +
         ".PP\nEvery command exits with 2 for a usage error: an unknown command or "
         "option, a missing or extra argument.\n";
}

struct Example {
  const char* what;
  const char* command;
};
constexpr Example kExamples[] = {
    {"Write the check list of a disc folder:",
     "crclist make disc --title 'Sample Game' --drive-info 'Choose the game disc.'"},
    {"Verify the folder against the list it holds, disc/crclist.INF:", "crclist verify disc"},
    {"Verify an ISO 9660 or UDF image against the list inside it:",
     "crclist verify --image disc.iso"},
    {"Verify a raw dump of a CD, named by its cue sheet, against a list beside it:",
     "crclist verify disc.INF --image disc.cue"},
    {"Verify every file, whatever fails, and keep a JSON report:",
     "crclist verify disc --keep-going --json report.json"},
    {"Print a list's members as JSON:", "crclist show --json disc/crclist.INF"},
    {"Report what in a list will not read as meant, and what the folder holds otherwise:",
     "crclist lint disc/crclist.INF --root disc"},
};

std::string Examples() {
  std::string section = ".SH EXAMPLES\n";
  for (const Example& example : kExamples) {
    section += ".PP\n" + Escaped(example.what) + "\n.PP\n.RS\n.EX\n" + Escaped(example.command) +
               "\n.EE\n.RE\n";
  }
  return section;
}

// The title line, NAME and SYNOPSIS.
std::string Head(const CLI::App& app, const std::string& version, const std::string& date) {
  const std::string summary = app.get_description();
  std::string head =
      ".TH CRCLIST 1 \"" + date + "\" \"crclist " + Escaped(version) + "\" \"User Commands\"\n";
  // The summary without its capital and its full stop.
  head += ".SH NAME\ncrclist \\- " +
          Escaped(std::string(1, static_cast<char>(std::tolower(summary[0]))) +
                  summary.substr(1, summary.size() - 2)) +
          "\n";
  head += ".SH SYNOPSIS\n";
  for (const CLI::App* command : Commands(app)) head += Bold(Usage(*command)) + "\n.br\n";
  return head + Bold("crclist --help") + "\n.br\n" + Bold("crclist --version") + "\n";
}

std::string Description(const CLI::App& app) {
  return ".SH DESCRIPTION\n" + Escaped(app.get_description()) + "\n.PP\n" +
         Escaped(
             "crclist is the companion of Disksentry, the Windows program that verifies a "
             "game's disc and installed files against a check list, crclist.INF. It is "
             "for whoever prepares the disc: it writes the list, shows what Disksentry "
             "reads from it, reports what in it will not read as meant, and verifies a "
             "disc folder or an image of the disc against it, as Disksentry would.") +
         "\n.PP\n" +
         Escaped(
             "An image is read as Windows reads the disc: the UDF tree where the disc has one, "
             "otherwise the Joliet names, otherwise the plain ISO 9660 names. --image takes a "
             "plain image of 2048-byte sectors, a raw image of 2352-byte sectors, or the cue "
             "sheet, CloneCD or Alcohol descriptor of a dump; each raw sector's sync, header and "
             "EDC are checked, and a sector that fails fails only the file that holds it.") +
         "\n.PP\n" +
         Escaped("Arguments are UTF-8; the names and texts of a check list are CP932.") + "\n";
}

std::string FilesAndSeeAlso() {
  return ".SH FILES\n.TP\n" + Italic("crclist.INF") + "\n" +
         Escaped(
             "The check list: CP932 text in sections [TITLE], [GAME], [REG], [CDFILES], "
             "[GAMEDATA], [MESSAGE] and [DRIVEINFO]. Disksentry opens it in its current "
             "folder, the root of the disc; make writes it there as DIR/crclist.INF, and "
             "verify reads it there unless given another list.") +
         "\n.SH SEE ALSO\n" + Bold("xorriso") + "(1) and " + Bold("genisoimage") +
         "(1), which make the ISO 9660 and UDF images that " + Bold("--image") + " reads, and " +
         Bold("bchunk") + "(1), which reads the raw images of cue sheets back.\n.PP\n" +
         Escaped(
             "docs/crclist.md, the whole manual, and docs/check-list-format.md, the check "
             "list's format, in Disksentry's sources.") +
         "\n";
}

}  // namespace

namespace manual_page {

std::string Roff(const CLI::App& app, const std::string& version, const std::string& date) {
  std::string page = Head(app, version, date) + Description(app);
  page += ".SH OPTIONS\n" + OptionList(app);
  page += ".SH COMMANDS\n";
  for (const CLI::App* command : Commands(app)) page += CommandSection(*command);
  return page + ExitStatus(app) + Examples() + FilesAndSeeAlso();
}

}  // namespace manual_page
