#pragma once
// The program's command line: what to do with the files it names, and the
// answers a command-line program gives (--help, --version).
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mixora {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // --enqueue: the items are added to the list instead of replacing it.
    bool enqueue = false;
    // --skin=builtin: start with the built-in skin and keep it.
    bool builtinSkin = false;
    // Files, folders, lists and URIs, as given.
    std::vector<std::string> items;
    // For Action::Error: what was wrong, as one line.
    std::string error;
};

// `args` without the program's name. "--" ends the options; toolkit
// options the windowing library reads (-platform NAME, -display NAME and
// the like) are passed over.
CommandLine ParseCommandLine(std::span<const char* const> args);

// An item as the running program can use it whatever its own folder: URIs
// as they are, relative paths made absolute from `cwd`.
std::string AbsoluteItem(std::string_view item, std::string_view cwd);

// The --help text.
const char* UsageText();

} // namespace mixora
