#include "platform/posix/linux_system.h"

#include <cstdio>
#include <cstdlib>
#include <limits.h>
#include <string>
#include <unistd.h>

#include "platform/posix/atomic_file.h"
#include "platform/posix/locale_language.h"
#include "platform/posix/xdg_folders.h"

namespace mixora {

std::string LinuxSystemInfo::ModuleFileName() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return {};
    }
    return std::string(buf, static_cast<std::size_t>(n));
}

std::vector<std::string> SkinFoldersFor(const std::string& programFolder, const char* xdgDataHome,
                                        const char* home) {
    const std::size_t cut = programFolder.rfind('/');
    const std::string prefix = cut == std::string::npos ? "." : programFolder.substr(0, cut);
    return {programFolder, prefix + "/share/mixora/skins",
            XdgFolderFor(xdgDataHome, home, ".local/share") + "/skins"};
}

std::vector<std::string> LinuxSystemInfo::SkinFolders() {
    const std::string program = ModuleFileName();
    return SkinFoldersFor(program.substr(0, program.rfind('/')), std::getenv("XDG_DATA_HOME"),
                          std::getenv("HOME"));
}

std::string SettingsFolderFor(const char* xdgConfigHome, const char* home) {
    // An XDG_CONFIG_HOME that is not absolute is to be ignored, as the base
    // directory rules say.
    std::string base;
    if (xdgConfigHome && xdgConfigHome[0] == '/') {
        base = xdgConfigHome;
    } else if (home && home[0] != '\0') {
        base = std::string(home) + "/.config";
    } else {
        base = "/tmp";
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return base + "/mixora";
}

std::string LinuxSystemInfo::WindowsDirectory() {
    std::string dir = SettingsFolderFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    MakeDirectories(dir);
    return dir;
}

std::uint16_t LinuxSystemInfo::UserDefaultUILanguage() {
    return WindowsLanguageId(MessagesLocale(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                            std::getenv("LC_MESSAGES"), std::getenv("LANG")));
}

void StderrDebugOutput::OutputDebugString(const std::string& text) {
    // Texts usually end in their own newline; never print two, never none.
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace mixora
