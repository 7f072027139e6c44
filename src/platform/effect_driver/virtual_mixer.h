#pragma once
// The mixer of the software effect driver: one device with the lines the
// sound card's mixer had. Its karaoke destination drives the effect
// device (voice cancellation switch, key-shift fader); its CD-audio line
// keeps a volume and a mute for the CD playback to follow.
//
// Device 0, four destinations (line ids 0xFFFF0000 + destination; source s
// of destination d has line id s << 16 | d):
//   0 "Volume Control" (speakers): 3 sources, controls volume, mute, bass, treble
//       0 "Wave", 1 "CD Audio" (component type 0x1005: volume, mute), 2 "Line In"
//   1 "Karaoke": 1 source, controls "Voice Cancellation" (on/off) and a level
//       0 "Key Shift": one fader, 0..65535, nine steps -4..+4 spread evenly
//   2 "Recording Control": 2 sources (microphone, line in), a 2-item selector
//   3 "Monitor": no source, a volume
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "platform/mixer.h"

namespace mixora {

class SoftwareEffectDevice;

class VirtualMixer final : public IMixer {
public:
    // `effects` (may be null: the karaoke controls then only keep their
    // values) must outlive the mixer.
    explicit VirtualMixer(SoftwareEffectDevice* effects);

    // The CD-audio line: volume of both channels (0..65535) and the mute.
    std::uint32_t CdVolumeLeft() const;
    std::uint32_t CdVolumeRight() const;
    bool CdMute() const;
    // Called after every write to the CD line's volume or mute.
    void SetCdLineObserver(std::function<void()> observer) { cdObserver_ = std::move(observer); }

    std::uint32_t GetNumDevs() override { return 1; }
    MMRESULT GetDevCaps(std::uint32_t device, MixerCaps* caps) override;
    MMRESULT Open(std::uint32_t device, std::uint32_t openFlags, HMIXER* mixer) override;
    MMRESULT Close(HMIXER mixer) override;
    MMRESULT GetLineInfo(HMIXER mixer, MixerLine* line, std::uint32_t flags) override;
    MMRESULT GetLineControls(HMIXER mixer, std::uint32_t lineId,
                             std::vector<MixerControl>* controls) override;
    MMRESULT GetControlDetails(HMIXER mixer, MixerControlDetails* details) override;
    MMRESULT SetControlDetails(HMIXER mixer, const MixerControlDetails& details) override;

private:
    struct Line {
        MixerLine info;
        std::vector<MixerControl> controls;
    };
    const Line* FindLine(std::uint32_t lineId) const;
    const MixerControl* FindControl(std::uint32_t controlId, std::uint32_t* channels) const;

    SoftwareEffectDevice* effects_;
    std::vector<Line> lines_; // destinations first, then sources
    std::map<std::uint32_t, std::vector<std::uint32_t>>
        values_; // per control, per channel and item
    std::set<HMIXER> open_;
    HMIXER next_ = 1;
    std::function<void()> cdObserver_;
};

} // namespace mixora
