#pragma once
#include "platform/launcher.h"

namespace mixora {

// Looks programs up on PATH and starts them with posix_spawn, not waiting
// for them (they belong to the desktop, not to us).
class PosixLauncher final : public IProgramLauncher {
public:
    bool IsInstalled(const std::string& program) override;
    bool Launch(const std::vector<std::string>& argv) override;
};

} // namespace mixora
