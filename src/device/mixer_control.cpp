#include "device/mixer_control.h"

#include <algorithm>
#include <vector>

#include "device/device_window.h"
#include "platform/window_host.h"
#include "skin/skin.h"

namespace mixora {
namespace {

// The fader bytes 0x00, 0x1F, 0x41, 0x62, 0x80, 0x9F, 0xC0, 0xE1, 0xFF doubled.
constexpr std::array<std::uint32_t, 9> kKeyShiftValues = {0x0000, 0x1F1F, 0x4141, 0x6262, 0x8080,
                                                          0x9F9F, 0xC0C0, 0xE1E1, 0xFFFF};
// The first reading of steps -3..4.
constexpr std::array<std::uint32_t, 8> kKeyShiftThresholds = {3599,  12080, 20561, 29042,
                                                              36238, 44719, 53457, 61938};

constexpr std::uint32_t kDestinationA_Connections = 3;
constexpr std::uint32_t kDestinationA_Controls = 4;
constexpr std::uint32_t kKaraokeConnections = 1;
constexpr std::uint32_t kKaraokeControls = 2;
constexpr std::uint32_t kMinDestinations = 4;
constexpr int kVolumeFloor = 3000;

} // namespace

std::uint32_t KeyShiftToFader(int keyShift) {
    return kKeyShiftValues[static_cast<std::size_t>(std::clamp(keyShift, -4, 4) + 4)];
}

int FaderToKeyShift(std::uint32_t value) {
    const auto above =
        std::upper_bound(kKeyShiftThresholds.begin(), kKeyShiftThresholds.end(), value);
    return static_cast<int>(above - kKeyShiftThresholds.begin()) - 4;
}

template <std::size_t N>
void CMixerControl::ReadControls(std::uint32_t lineId, std::array<MixerControl, N>& out) {
    std::vector<MixerControl> controls;
    if (mixer_.GetLineControls(g_hMixer, lineId, &controls) != MMSYSERR_NOERROR) {
        return;
    }
    // The table has room for N; a line with more keeps its first ones.
    std::copy_n(controls.begin(), std::min(controls.size(), N), out.begin());
}

int CMixerControl::OpenMixer(CDeviceWindow& frame) {
    if (g_bMixerOpen) {
        return 1;
    }
    const std::uint32_t devices = mixer_.GetNumDevs();
    if (devices == 0) {
        return 0;
    }

    bool found = false;
    std::uint32_t lineB = 0;
    for (std::uint32_t device = 0; device < devices && !found; ++device) {
        MixerCaps caps;
        if (mixer_.GetDevCaps(device, &caps) != MMSYSERR_NOERROR ||
            caps.cDestinations < kMinDestinations) {
            continue;
        }
        HMIXER handle = 0;
        if (mixer_.Open(device, CALLBACK_WINDOW, &handle) != MMSYSERR_NOERROR) {
            continue;
        }
        bool seenA = false;
        bool seenB = false;
        for (std::uint32_t d = 0; d < caps.cDestinations; ++d) {
            MixerLine line;
            line.dwDestination = d;
            if (mixer_.GetLineInfo(handle, &line, MIXER_GETLINEINFOF_DESTINATION) !=
                MMSYSERR_NOERROR) {
                continue;
            }
            if (line.cConnections == kDestinationA_Connections &&
                line.cControls == kDestinationA_Controls) {
                seenA = true;
            }
            if (line.cConnections == kKaraokeConnections && line.cControls == kKaraokeControls) {
                seenB = true;
                lineB = line.dwLineID;
            }
        }
        if (seenA && seenB) {
            g_hMixer = handle;
            found = true;
        } else {
            mixer_.Close(handle);
        }
    }

    if (!found) {
        return 0;
    }
    // The CD line is looked up on the chosen device only; with no device
    // there is nothing to ask.
    MixerLine cd;
    cd.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    if (mixer_.GetLineInfo(g_hMixer, &cd, MIXER_GETLINEINFOF_COMPONENTTYPE) == MMSYSERR_NOERROR) {
        ReadControls(cd.dwLineID, g_cdControls);
    }

    MixerLine karaoke;
    karaoke.dwLineID = lineB;
    mixer_.GetLineInfo(g_hMixer, &karaoke, MIXER_GETLINEINFOF_LINEID);
    MixerLine key;
    key.dwDestination = karaoke.dwDestination;
    key.dwSource = 0;
    if (mixer_.GetLineInfo(g_hMixer, &key, MIXER_GETLINEINFOF_SOURCE) == MMSYSERR_NOERROR) {
        std::array<MixerControl, 1> keyControl{g_keyCtl};
        ReadControls(key.dwLineID, keyControl);
        g_keyCtl = keyControl[0];
    }
    ReadControls(lineB, g_karaokeControls);
    for (std::size_t i = 0; i < g_karaokeControls.size(); ++i) {
        if (g_karaokeControls[i].dwControlType == MIXERCONTROL_CONTROLTYPE_ONOFF) {
            g_voiceCtl = i;
        }
    }

    frame.m_bVoiceCancel = Read(g_karaokeControls[g_voiceCtl]) != 0 ? 1 : 0;
    frame.m_nKeyShift = FaderToKeyShift(Read(g_keyCtl));
    g_bMixerOpen = 1;
    return 1;
}

void CMixerControl::CloseMixer() {
    if (g_hMixer != 0) {
        mixer_.Close(g_hMixer);
        g_hMixer = 0;
    }
    g_bMixerOpen = 0;
}

std::uint32_t CMixerControl::Read(const MixerControl& control) {
    MixerControlDetails details;
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cMultipleItems = control.cMultipleItems;
    details.values.assign(1, 0);
    mixer_.GetControlDetails(g_hMixer, &details);
    return details.values.empty() ? 0 : details.values[0];
}

void CMixerControl::Write(const MixerControl& control, std::uint32_t channels,
                          std::uint32_t value) {
    MixerControlDetails details;
    details.dwControlID = control.dwControlID;
    details.cChannels = channels;
    details.cMultipleItems = control.cMultipleItems;
    details.values.assign(channels, value);
    mixer_.SetControlDetails(g_hMixer, details);
}

void CMixerControl::SetCdVolume(int cdVolume) {
    const MixerControl* volume = nullptr;
    for (const MixerControl& c : g_cdControls) {
        if (c.dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME) {
            volume = &c;
        }
    }
    if (!volume) {
        return; // no volume on the line: nothing to write to
    }
    const std::uint32_t maximum = static_cast<std::uint32_t>(volume->lMaximum);
    const std::uint32_t value =
        cdVolume == 0 ? maximum
                      : maximum / kVolumeFloor *
                            static_cast<std::uint32_t>(std::max(cdVolume + kVolumeFloor, 0));
    Write(*volume, 2, value);
}

void CMixerControl::SetCdMute(bool mute) {
    for (const MixerControl& c : g_cdControls) {
        if (c.dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE) {
            Write(c, 1, mute ? 1 : 0);
            return;
        }
    }
}

void CMixerControl::SetMixerVoiceCancel(const CDeviceWindow& frame) {
    Write(g_karaokeControls[g_voiceCtl], 1, frame.m_bVoiceCancel ? 1 : 0);
}

void CMixerControl::SetMixerKeyShift(const CDeviceWindow& frame) {
    Write(g_keyCtl, 1, KeyShiftToFader(frame.m_nKeyShift));
}

} // namespace mixora
