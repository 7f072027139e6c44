#pragma once
// What the device room keeps on the main window and reaches through it: the
// effect fields the dispatcher and the device operations share, the skin
// whose sliders and lamps show them, and the window host for popups. The
// main window is one of these; the device room never sees more of it.
#include <array>
#include <cstdint>

namespace mixora {

class CSkin;
class IWindowHost;

class CDeviceWindow {
public:
    virtual CSkin& Skin() = 0;
    virtual IWindowHost& Host() = 0;

    int m_bDriverFound = 0;
    int m_bDsReverb = 0;
    int m_nEnvironment = -1;
    int m_nDsEnvironment = 0;
    int m_bVoiceCancel = 0;
    int m_nKeyShift = 0;
    std::array<std::uint8_t, 120> m_eq{};

protected:
    CDeviceWindow() = default;
    ~CDeviceWindow() = default;
    CDeviceWindow(const CDeviceWindow&) = delete;
    CDeviceWindow& operator=(const CDeviceWindow&) = delete;
};

} // namespace mixora
