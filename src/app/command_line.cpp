#include "app/command_line.h"

#include <algorithm>
#include <array>

namespace mixora {
namespace {

// Options of the windowing library that take a value; it reads them itself.
constexpr std::array<std::string_view, 6> kToolkitOptionsWithValue = {
    "-platform", "-display", "-style", "-qwindowgeometry", "-qwindowtitle", "-qwindowicon"};

bool IsUri(std::string_view s) {
    const std::size_t colon = s.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = s[i];
        const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alpha && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) {
            return false;
        }
    }
    return s.substr(colon).starts_with("://") || s.substr(0, colon + 1) == "file:";
}

} // namespace

CommandLine ParseCommandLine(std::span<const char* const> args) {
    CommandLine c;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            c.items.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            c.action = CommandLine::Action::Help;
            return c;
        } else if (arg == "--version" || arg == "-v") {
            c.action = CommandLine::Action::Version;
            return c;
        } else if (arg == "--enqueue" || arg == "-e") {
            c.enqueue = true;
        } else if (arg == "--skin=builtin") {
            c.builtinSkin = true;
        } else if (std::find(kToolkitOptionsWithValue.begin(), kToolkitOptionsWithValue.end(),
                             arg) != kToolkitOptionsWithValue.end()) {
            ++i;
        } else if (!arg.starts_with("--") && arg.size() > 2) {
            // -reverse, -session=... and other single-dash toolkit options.
        } else {
            c.action = CommandLine::Action::Error;
            c.error = "unknown option " + std::string(arg);
            return c;
        }
    }
    return c;
}

std::string AbsoluteItem(std::string_view item, std::string_view cwd) {
    if (item.empty() || item.front() == '/' || IsUri(item)) {
        return std::string(item);
    }
    if (item.starts_with("./")) {
        item.remove_prefix(2);
    }
    std::string out(cwd);
    if (!out.ends_with('/')) {
        out += '/';
    }
    out += item;
    return out;
}

const char* UsageText() {
    return "Usage: mixora [OPTION]... [FILE|FOLDER|URI]...\n"
           "Plays the files, folders (walked in name order) and playlists (*.pla, *.m3u,\n"
           "*.m3u8, *.pls) it is given; when Mixora already runs, hands them to it.\n"
           "\n"
           "  -e, --enqueue    add the files to the playlist instead of replacing it\n"
           "  --skin=builtin   start with the built-in skin and keep it as the chosen skin\n"
           "                   (the way back when a skin package cannot be used)\n"
           "  -h, --help       show this text\n"
           "  -v, --version    show the version\n"
           "\n"
           "Keys in the window: Z previous, X play, C pause/resume, V stop, B next,\n"
           "Space play/pause, Left/Right step back/forward, Up/Down volume, M mute,\n"
           "R repeat mode, Delete remove the marked line, Ctrl+O open files,\n"
           "Ctrl+L/Ctrl+S load/save the playlist, Ctrl+Q power. The mouse wheel moves\n"
           "the slider under the pointer.\n"
           "\n"
           "Mixora answers the desktop's media keys and sound applets over MPRIS\n"
           "(org.mpris.MediaPlayer2.mixora).\n";
}

} // namespace mixora
