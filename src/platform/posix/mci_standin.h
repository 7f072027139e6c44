#pragma once
#include "platform/mci.h"

namespace mixora {

// Media control devices on Linux. No device can be opened yet (CD audio and
// the wave recorder arrive with their subsystems), so every id is unknown.
class LinuxMci final : public IMci {
public:
    std::uint32_t SendCommand(std::uint32_t, std::uint32_t, std::uint32_t, void*) override {
        return MCIERR_INVALID_DEVICE_ID;
    }
};

} // namespace mixora
