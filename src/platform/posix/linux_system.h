#pragma once
#include "platform/system_info.h"

namespace mixora {

// The program file from /proc/self/exe; the settings folder is
// ${XDG_CONFIG_HOME:-$HOME/.config}/mixora; the interface language is the
// locale of the program's messages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
class LinuxSystemInfo final : public ISystemInfo {
public:
    std::string ModuleFileName() override;
    std::string WindowsDirectory() override;
    std::uint16_t UserDefaultUILanguage() override;
    // Beside the program, <prefix>/share/mixora/skins (the program being in
    // <prefix>/bin), ${XDG_DATA_HOME:-~/.local/share}/mixora/skins.
    std::vector<std::string> SkinFolders() override;
};

// Debugger output: each text becomes one line on stderr.
class StderrDebugOutput final : public IDebugOutput {
public:
    void OutputDebugString(const std::string& text) override;
};

// The skin folders for a program in `programFolder` and the given
// environment values (either may be null).
std::vector<std::string> SkinFoldersFor(const std::string& programFolder, const char* xdgDataHome,
                                        const char* home);

// The settings folder for the given environment values (either may be null).
std::string SettingsFolderFor(const char* xdgConfigHome, const char* home);

} // namespace mixora
