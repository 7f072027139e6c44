#pragma once
// Media control devices ("cdaudio", "waveaudio") addressed by device id.
#include <cstdint>

namespace mixora {

inline constexpr std::uint32_t MCI_CLOSE = 0x0804;
inline constexpr std::uint32_t MCI_STOP = 0x0808;
inline constexpr std::uint32_t MCI_STATUS = 0x0814;
inline constexpr std::uint32_t MCI_STATUS_ITEM = 0x00000100;
inline constexpr std::uint32_t MCI_STATUS_POSITION = 0x00000002;
inline constexpr std::uint32_t MCI_WAIT = 0x00000002;
inline constexpr std::uint32_t MCIERR_INVALID_DEVICE_ID = 257;

class IMci {
public:
    virtual ~IMci() = default;
    // Sends one command to an open device; 0 on success, an MCIERR_ code
    // otherwise. `params` is the command's parameter record or null.
    virtual std::uint32_t SendCommand(std::uint32_t deviceId, std::uint32_t msg,
                                      std::uint32_t flags, void* params) = 0;
};

} // namespace mixora

namespace mixora {

// The record a device is asked its status with (length, position, mode).
struct MCI_STATUS_PARMS {
    std::uintptr_t dwCallback = 0;
    std::uintptr_t dwReturn = 0;
    std::uint32_t dwItem = 0;
    std::uint32_t dwTrack = 0;
};

} // namespace mixora
