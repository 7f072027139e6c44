#include "platform/effect_driver/virtual_mixer.h"

#include <algorithm>
#include <cmath>

#include "platform/effect_driver/software_effect_device.h"

namespace mixora {
namespace {

constexpr std::uint32_t kDestinations = 4;
constexpr std::uint32_t kFull = 65535;

// Control ids: fixed, so that values survive nothing but the process.
enum ControlId : std::uint32_t {
    kMasterVolume = 1,
    kMasterMute,
    kBass,
    kTreble,
    kWaveVolume,
    kWaveMute,
    kCdVolume,
    kCdMute,
    kLineVolume,
    kLineMute,
    kVoiceCancel,
    kKaraokeLevel,
    kKeyShift,
    kRecordSelect,
    kMicVolume,
    kLineInRecVolume,
    kMonitorVolume,
};

constexpr std::uint32_t DestinationId(std::uint32_t d) {
    return 0xFFFF0000u + d;
}
constexpr std::uint32_t SourceId(std::uint32_t d, std::uint32_t s) {
    return s << 16 | d;
}

MixerControl Control(std::uint32_t id, std::uint32_t type, const char* name,
                     std::uint32_t items = 0) {
    MixerControl c;
    c.dwControlID = id;
    c.dwControlType = type;
    c.cMultipleItems = items;
    c.szName = name;
    const bool fader = (type & 0xF0000000u) == 0x50000000u;
    c.lMinimum = 0;
    c.lMaximum = fader ? static_cast<std::int32_t>(kFull)
                       : static_cast<std::int32_t>(items > 0 ? items - 1 : 1);
    return c;
}

MixerLine LineInfo(std::uint32_t d, std::uint32_t s, bool destination, std::uint32_t type,
                   const char* name, std::uint32_t connections, std::uint32_t controls) {
    MixerLine l;
    l.dwDestination = d;
    l.dwSource = destination ? 0 : s;
    l.dwLineID = destination ? DestinationId(d) : SourceId(d, s);
    l.dwComponentType = type;
    l.cChannels = 2;
    l.cConnections = connections;
    l.cControls = controls;
    l.szName = name;
    return l;
}

// The fader's nine steps spread evenly over 0..65535; a reading belongs to
// the nearest step.
int StepOfFader(std::uint32_t value) {
    return static_cast<int>(
               std::lround(static_cast<double>(std::min(value, kFull)) * 8.0 / kFull)) -
           4;
}
std::uint32_t FaderOfStep(int step) {
    return static_cast<std::uint32_t>(std::lround((step + 4) * static_cast<double>(kFull) / 8.0));
}

} // namespace

VirtualMixer::VirtualMixer(SoftwareEffectDevice* effects) : effects_(effects) {
    auto add = [this](MixerLine info, std::vector<MixerControl> controls) {
        info.cControls = static_cast<std::uint32_t>(controls.size());
        lines_.push_back(Line{std::move(info), std::move(controls)});
    };
    const std::uint32_t VOL = MIXERCONTROL_CONTROLTYPE_VOLUME;
    const std::uint32_t MUTE = MIXERCONTROL_CONTROLTYPE_MUTE;
    add(LineInfo(0, 0, true, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, "Volume Control", 3, 0),
        {Control(kMasterVolume, VOL, "Volume"), Control(kMasterMute, MUTE, "Mute"),
         Control(kBass, MIXERCONTROL_CONTROLTYPE_BASS, "Bass"),
         Control(kTreble, MIXERCONTROL_CONTROLTYPE_TREBLE, "Treble")});
    add(LineInfo(1, 0, true, MIXERLINE_COMPONENTTYPE_DST_UNDEFINED, "Karaoke", 1, 0),
        {Control(kVoiceCancel, MIXERCONTROL_CONTROLTYPE_ONOFF, "Voice Cancellation"),
         Control(kKaraokeLevel, VOL, "Karaoke Level")});
    add(LineInfo(2, 0, true, MIXERLINE_COMPONENTTYPE_DST_WAVEIN, "Recording Control", 2, 0),
        {Control(kRecordSelect, MIXERCONTROL_CONTROLTYPE_MUX, "Recording Source", 2)});
    add(LineInfo(3, 0, true, MIXERLINE_COMPONENTTYPE_DST_UNDEFINED, "Monitor", 0, 0),
        {Control(kMonitorVolume, VOL, "Monitor Volume")});
    add(LineInfo(0, 0, false, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, "Wave", 0, 0),
        {Control(kWaveVolume, VOL, "Wave Volume"), Control(kWaveMute, MUTE, "Wave Mute")});
    add(LineInfo(0, 1, false, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, "CD Audio", 0, 0),
        {Control(kCdVolume, VOL, "CD Volume"), Control(kCdMute, MUTE, "CD Mute")});
    add(LineInfo(0, 2, false, MIXERLINE_COMPONENTTYPE_SRC_LINE, "Line In", 0, 0),
        {Control(kLineVolume, VOL, "Line Volume"), Control(kLineMute, MUTE, "Line Mute")});
    add(LineInfo(1, 0, false, MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED, "Key Shift", 0, 0),
        {Control(kKeyShift, MIXERCONTROL_CONTROLTYPE_FADER, "Key Shift")});
    add(LineInfo(2, 0, false, MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, "Microphone", 0, 0),
        {Control(kMicVolume, VOL, "Microphone Volume")});
    add(LineInfo(2, 1, false, MIXERLINE_COMPONENTTYPE_SRC_LINE, "Line In", 0, 0),
        {Control(kLineInRecVolume, VOL, "Line In Volume")});

    for (const Line& line : lines_) {
        for (const MixerControl& c : line.controls) {
            const bool fader = (c.dwControlType & 0xF0000000u) == 0x50000000u;
            // Levels start full, tone controls flat, switches off.
            const bool tone = c.dwControlType == MIXERCONTROL_CONTROLTYPE_BASS ||
                              c.dwControlType == MIXERCONTROL_CONTROLTYPE_TREBLE;
            const std::uint32_t start = !fader ? 0 : (tone ? kFull / 2 + 1 : kFull);
            values_[c.dwControlID].assign(
                line.info.cChannels * std::max<std::uint32_t>(1, c.cMultipleItems), start);
        }
    }
    values_[kKeyShift].assign(2, FaderOfStep(0));
}

std::uint32_t VirtualMixer::CdVolumeLeft() const {
    return values_.at(kCdVolume)[0];
}
std::uint32_t VirtualMixer::CdVolumeRight() const {
    return values_.at(kCdVolume)[1];
}
bool VirtualMixer::CdMute() const {
    return values_.at(kCdMute)[0] != 0;
}

MMRESULT VirtualMixer::GetDevCaps(std::uint32_t device, MixerCaps* caps) {
    if (device != 0) {
        return MMSYSERR_BADDEVICEID;
    }
    caps->szPname = "Mixora Virtual Mixer";
    caps->cDestinations = kDestinations;
    return MMSYSERR_NOERROR;
}

MMRESULT VirtualMixer::Open(std::uint32_t device, std::uint32_t /*openFlags*/, HMIXER* mixer) {
    if (device != 0) {
        return MMSYSERR_BADDEVICEID;
    }
    *mixer = next_++;
    open_.insert(*mixer);
    return MMSYSERR_NOERROR;
}

MMRESULT VirtualMixer::Close(HMIXER mixer) {
    return open_.erase(mixer) != 0 ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

const VirtualMixer::Line* VirtualMixer::FindLine(std::uint32_t lineId) const {
    for (const Line& line : lines_) {
        if (line.info.dwLineID == lineId) {
            return &line;
        }
    }
    return nullptr;
}

MMRESULT VirtualMixer::GetLineInfo(HMIXER mixer, MixerLine* line, std::uint32_t flags) {
    if (open_.count(mixer) == 0) {
        return MMSYSERR_INVALHANDLE;
    }
    const Line* found = nullptr;
    switch (flags) {
    case MIXER_GETLINEINFOF_DESTINATION:
        found = line->dwDestination < kDestinations ? FindLine(DestinationId(line->dwDestination))
                                                    : nullptr;
        break;
    case MIXER_GETLINEINFOF_SOURCE:
        found = line->dwDestination < kDestinations
                    ? FindLine(SourceId(line->dwDestination, line->dwSource))
                    : nullptr;
        break;
    case MIXER_GETLINEINFOF_LINEID:
        found = FindLine(line->dwLineID);
        break;
    case MIXER_GETLINEINFOF_COMPONENTTYPE:
        for (const Line& l : lines_) {
            if (l.info.dwComponentType == line->dwComponentType) {
                found = &l;
                break;
            }
        }
        break;
    default:
        return MMSYSERR_INVALPARAM;
    }
    if (!found) {
        return MIXERR_INVALLINE;
    }
    *line = found->info;
    return MMSYSERR_NOERROR;
}

MMRESULT VirtualMixer::GetLineControls(HMIXER mixer, std::uint32_t lineId,
                                       std::vector<MixerControl>* controls) {
    if (open_.count(mixer) == 0) {
        return MMSYSERR_INVALHANDLE;
    }
    const Line* line = FindLine(lineId);
    if (!line) {
        return MIXERR_INVALLINE;
    }
    *controls = line->controls;
    return MMSYSERR_NOERROR;
}

const MixerControl* VirtualMixer::FindControl(std::uint32_t controlId,
                                              std::uint32_t* channels) const {
    for (const Line& line : lines_) {
        for (const MixerControl& c : line.controls) {
            if (c.dwControlID == controlId) {
                *channels = line.info.cChannels;
                return &c;
            }
        }
    }
    return nullptr;
}

MMRESULT VirtualMixer::GetControlDetails(HMIXER mixer, MixerControlDetails* details) {
    std::uint32_t channels = 0;
    const MixerControl* c = FindControl(details->dwControlID, &channels);
    if (open_.count(mixer) == 0) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!c || details->cChannels == 0 || details->cChannels > channels) {
        return !c ? MIXERR_INVALCONTROL : MMSYSERR_INVALPARAM;
    }
    std::vector<std::uint32_t> stored = values_.at(c->dwControlID);
    // The karaoke controls show what the effect device does, whoever set it.
    if (effects_ && c->dwControlID == kVoiceCancel) {
        stored.assign(stored.size(), effects_->State().voiceCancel != 0 ? 1 : 0);
    } else if (effects_ && c->dwControlID == kKeyShift &&
               StepOfFader(stored[0]) != effects_->State().pitchShift) {
        stored.assign(stored.size(), FaderOfStep(effects_->State().pitchShift));
    }
    const std::uint32_t items = std::max<std::uint32_t>(1, c->cMultipleItems);
    details->values.resize(static_cast<std::size_t>(details->cChannels) * items);
    for (std::size_t i = 0; i < details->values.size(); ++i) {
        details->values[i] = stored[i % stored.size()];
    }
    return MMSYSERR_NOERROR;
}

MMRESULT VirtualMixer::SetControlDetails(HMIXER mixer, const MixerControlDetails& details) {
    std::uint32_t channels = 0;
    const MixerControl* c = FindControl(details.dwControlID, &channels);
    if (open_.count(mixer) == 0) {
        return MMSYSERR_INVALHANDLE;
    }
    const std::uint32_t items = c ? std::max<std::uint32_t>(1, c->cMultipleItems) : 1;
    if (!c || details.cChannels == 0 || details.cChannels > channels ||
        details.values.size() < static_cast<std::size_t>(details.cChannels) * items) {
        return !c ? MIXERR_INVALCONTROL : MMSYSERR_INVALPARAM;
    }
    std::vector<std::uint32_t>& stored = values_[c->dwControlID];
    // One channel given sets every channel alike (a uniform control).
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const std::uint32_t v = details.values[details.cChannels == 1 ? i % items : i];
        stored[i] = std::min<std::uint32_t>(v, static_cast<std::uint32_t>(c->lMaximum));
    }
    if (effects_ && c->dwControlID == kVoiceCancel) {
        effects_->SetVoiceCancel(stored[0] != 0 ? 1 : 0);
    } else if (effects_ && c->dwControlID == kKeyShift) {
        effects_->SetPitchShift(StepOfFader(stored[0]));
    } else if ((c->dwControlID == kCdVolume || c->dwControlID == kCdMute) && cdObserver_) {
        cdObserver_();
    }
    return MMSYSERR_NOERROR;
}

} // namespace mixora
