#pragma once

#include <string>

namespace CLI {
class App;
}

// crclist's manual page in roff, made from the argument parser that --help also describes, with
// the sections a reader looks for beyond the options: the exit status (from each command's
// footer), examples, the files read and written, and where to read on.
namespace manual_page {

// date is the page's, as YYYY-MM-DD.
std::string Roff(const CLI::App& app, const std::string& version, const std::string& date);

}  // namespace manual_page
