#pragma once

#include <string>

namespace CLI {
class App;
}

// A bash completion script for a program, made from its argument parser: its commands, each
// command's options, and for each value the words it may take (the "|"-joined type name), the
// folders (a type name or positional DIR) or the files (FILE, IMAGE and other positionals).
namespace bash_completion {

std::string Script(const CLI::App& app);

}  // namespace bash_completion
