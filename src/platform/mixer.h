#pragma once
// The audio mixer: devices with destination lines, their source lines and
// the controls on each line, read and written by control id. Everything is
// called on the UI thread and answers at once; results are the classic
// multimedia error codes.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mixora {

using HMIXER = std::uintptr_t;
using MMRESULT = std::uint32_t;
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MIXERR_INVALLINE = 1024;
inline constexpr MMRESULT MIXERR_INVALCONTROL = 1025;

// mixerOpen: notifications go to the owner window (they are not handled).
inline constexpr std::uint32_t CALLBACK_WINDOW = 0x00010000;

// How GetLineInfo finds a line.
inline constexpr std::uint32_t MIXER_GETLINEINFOF_DESTINATION = 0;
inline constexpr std::uint32_t MIXER_GETLINEINFOF_SOURCE = 1;
inline constexpr std::uint32_t MIXER_GETLINEINFOF_LINEID = 2;
inline constexpr std::uint32_t MIXER_GETLINEINFOF_COMPONENTTYPE = 3;

inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_SPEAKERS = 0x0004;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_WAVEIN = 0x0007;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_DST_UNDEFINED = 0x0000;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_LINE = 0x1002;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE = 0x1003;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC = 0x1005;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT = 0x1008;
inline constexpr std::uint32_t MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED = 0x1000;

inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_ONOFF = 0x20010001;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_MUTE = 0x20010002;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_FADER = 0x50030000;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_BASS = 0x50030002;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_TREBLE = 0x50030003;
inline constexpr std::uint32_t MIXERCONTROL_CONTROLTYPE_MUX = 0x70010001;

// MIXERCAPS (48 bytes on the wire): what the program reads.
struct MixerCaps {
    std::string szPname;
    std::uint32_t cDestinations = 0;
};

// MIXERLINE (168 bytes on the wire).
struct MixerLine {
    std::uint32_t cbStruct = 168;
    std::uint32_t dwDestination = 0;
    std::uint32_t dwSource = 0;
    std::uint32_t dwLineID = 0;
    std::uint32_t dwComponentType = 0;
    std::uint32_t cChannels = 0;
    std::uint32_t cConnections = 0;
    std::uint32_t cControls = 0;
    std::string szName;
};

// MIXERCONTROL.
struct MixerControl {
    std::uint32_t dwControlID = 0;
    std::uint32_t dwControlType = 0;
    std::uint32_t fdwControl = 0;
    std::uint32_t cMultipleItems = 0;
    std::string szName;
    std::int32_t lMinimum = 0;
    std::int32_t lMaximum = 0;
    friend bool operator==(const MixerControl&, const MixerControl&) = default;
};

// MIXERCONTROLDETAILS with 4-byte unsigned values, `cChannels` of them
// (times cMultipleItems when that is not 0).
struct MixerControlDetails {
    std::uint32_t cbStruct = 24;
    std::uint32_t dwControlID = 0;
    std::uint32_t cChannels = 0;
    std::uint32_t cMultipleItems = 0;
    std::uint32_t cbDetails = 4;
    std::vector<std::uint32_t> values;
};

class IMixer {
public:
    virtual ~IMixer() = default;

    virtual std::uint32_t GetNumDevs() = 0;
    virtual MMRESULT GetDevCaps(std::uint32_t device, MixerCaps* caps) = 0;
    virtual MMRESULT Open(std::uint32_t device, std::uint32_t openFlags, HMIXER* mixer) = 0;
    virtual MMRESULT Close(HMIXER mixer) = 0;

    // Finds a line by `line->dwDestination` (DESTINATION), by
    // `dwDestination` and `dwSource` (SOURCE), by `dwLineID` (LINEID) or by
    // `dwComponentType` (COMPONENTTYPE), and fills in the rest.
    virtual MMRESULT GetLineInfo(HMIXER mixer, MixerLine* line, std::uint32_t flags) = 0;
    // All controls of line `lineId`, in the line's order.
    virtual MMRESULT GetLineControls(HMIXER mixer, std::uint32_t lineId,
                                     std::vector<MixerControl>* controls) = 0;
    // Reads `details->values` (sized to the channels asked) / writes them.
    virtual MMRESULT GetControlDetails(HMIXER mixer, MixerControlDetails* details) = 0;
    virtual MMRESULT SetControlDetails(HMIXER mixer, const MixerControlDetails& details) = 0;
};

} // namespace mixora
