#pragma once
// Where the program lives and where it keeps its files, and the debugger
// output line.
#include <cstdint>
#include <string>
#include <vector>

namespace mixora {

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;
    // Full path of the running program file.
    virtual std::string ModuleFileName() = 0;
    // The folder that holds the settings file and the registry store, without
    // a trailing separator; created when it does not exist yet.
    virtual std::string WindowsDirectory() = 0;
    // The user's interface language as a Windows language identifier
    // (0x0409 English (US), 0x0404 Chinese (Taiwan), 0x0804 Chinese (PRC),
    // ...); 0xFFFF when the system cannot tell.
    virtual std::uint16_t UserDefaultUILanguage() = 0;
    // The folders skin packages are looked for in, first first: beside the
    // program, then the installed ones, then the user's own. None need exist.
    virtual std::vector<std::string> SkinFolders() = 0;
};

class IDebugOutput {
public:
    virtual ~IDebugOutput() = default;
    // One diagnostic text; shown as one line.
    virtual void OutputDebugString(const std::string& text) = 0;
};

} // namespace mixora
