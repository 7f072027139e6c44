#pragma once
// The sound card's mixer as the program uses it: the CD-audio line's volume
// and mute while a CD track plays through the analog path, and the karaoke
// controls (voice cancellation, key shift) on machines where the effect
// device's property channel is not there. One device is opened at window
// creation; its lines and controls are looked up once.
#include <array>
#include <cstdint>

#include "platform/mixer.h"

namespace mixora {

class CDeviceWindow;

// The key-shift fader: the value written for shifts -4..4, and the step a
// read value belongs to (each threshold midway between two written values).
std::uint32_t KeyShiftToFader(int keyShift);
int FaderToKeyShift(std::uint32_t value);

class CMixerControl {
public:
    explicit CMixerControl(IMixer& mixer) : mixer_(mixer) {}

    // Finds and opens the device, looks up its lines and controls and reads
    // the karaoke state into m_bVoiceCancel and m_nKeyShift; 1 or 0.
    int OpenMixer(CDeviceWindow& frame);
    void CloseMixer();

    // Write the window's m_nVolume, m_bMute, m_bVoiceCancel and m_nKeyShift.
    void SetCdVolume(int volume);
    void SetCdMute(bool mute);
    void SetMixerVoiceCancel(const CDeviceWindow& frame);
    void SetMixerKeyShift(const CDeviceWindow& frame);

    HMIXER g_hMixer = 0;
    int g_bMixerOpen = 0;
    std::array<MixerControl, 2> g_cdControls{};
    std::array<MixerControl, 2> g_karaokeControls{};
    std::size_t g_voiceCtl = 1;
    MixerControl g_keyCtl{};

private:
    void Write(const MixerControl& control, std::uint32_t channels, std::uint32_t value);
    std::uint32_t Read(const MixerControl& control);
    // Copies the first controls of a line into `out` (as many as fit).
    template <std::size_t N>
    void ReadControls(std::uint32_t lineId, std::array<MixerControl, N>& out);

    IMixer& mixer_;
};

} // namespace mixora
