#pragma once
// Where the program lives and where it keeps its files, and the debugger
// output line.
#include <string>

namespace mixora {

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;
    // Full path of the running program file.
    virtual std::string ModuleFileName() = 0;
    // The folder that holds the settings file and the registry store, without
    // a trailing separator; created when it does not exist yet.
    virtual std::string WindowsDirectory() = 0;
};

class IDebugOutput {
public:
    virtual ~IDebugOutput() = default;
    // One diagnostic text; shown as one line.
    virtual void OutputDebugString(const std::string& text) = 0;
};

} // namespace mixora
