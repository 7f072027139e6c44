#pragma once
// Media control devices ("cdaudio", "waveaudio") addressed by device id.
#include <cstdint>
#include <string>

namespace mixora {

inline constexpr std::uint32_t MCI_CLOSE = 0x0804;
inline constexpr std::uint32_t MCI_STOP = 0x0808;
inline constexpr std::uint32_t MCI_STATUS = 0x0814;
inline constexpr std::uint32_t MCI_STATUS_ITEM = 0x00000100;
inline constexpr std::uint32_t MCI_STATUS_POSITION = 0x00000002;
inline constexpr std::uint32_t MCI_WAIT = 0x00000002;
inline constexpr std::uint32_t MCIERR_INVALID_DEVICE_ID = 257;

// The wave recorder's requests.
inline constexpr std::uint32_t MCI_OPEN = 0x0803;
inline constexpr std::uint32_t MCI_PLAY = 0x0806;
inline constexpr std::uint32_t MCI_SEEK = 0x0807;
inline constexpr std::uint32_t MCI_SET = 0x080D;
inline constexpr std::uint32_t MCI_RECORD = 0x080F;
inline constexpr std::uint32_t MCI_SAVE = 0x0813;
inline constexpr std::uint32_t MCI_NOTIFY = 0x00000001;
inline constexpr std::uint32_t MCI_STATUS_LENGTH = 0x00000001;
inline constexpr std::uint32_t MCI_OPEN_ELEMENT = 0x00000200;
inline constexpr std::uint32_t MCI_OPEN_TYPE = 0x00002000;
inline constexpr std::uint32_t MCI_SEEK_TO_START = 0x00000100;
inline constexpr std::uint32_t MCI_SEEK_TO_END = 0x00000200;
inline constexpr std::uint32_t MCI_SAVE_FILE = 0x00000100;
inline constexpr std::uint32_t MCI_SET_TIME_FORMAT = 0x00000400;
inline constexpr std::uint32_t MCI_FORMAT_MILLISECONDS = 0;
inline constexpr std::uint32_t MCI_WAVE_SET_FORMATTAG = 0x00010000;
inline constexpr std::uint32_t MCI_WAVE_SET_CHANNELS = 0x00020000;
inline constexpr std::uint32_t MCI_WAVE_SET_SAMPLESPERSEC = 0x00040000;
inline constexpr std::uint32_t MCI_WAVE_SET_AVGBYTESPERSEC = 0x00080000;
inline constexpr std::uint32_t MCI_WAVE_SET_BLOCKALIGN = 0x00100000;
inline constexpr std::uint32_t MCI_WAVE_SET_BITSPERSAMPLE = 0x00200000;
// The format tag of plain PCM (WAVE_FORMAT_PCM).
inline constexpr std::uint16_t kPcmFormatTag = 1;
inline constexpr std::uint32_t MCIERR_UNRECOGNIZED_COMMAND = 261;
inline constexpr std::uint32_t MCIERR_HARDWARE = 262;
inline constexpr std::uint32_t MCIERR_CANNOT_LOAD_DRIVER = 266;
inline constexpr std::uint32_t MCIERR_OUTOFRANGE = 282;
inline constexpr std::uint32_t MCIERR_FILE_NOT_SAVED = 286;
inline constexpr std::uint32_t MCIERR_NONAPPLICABLE_FUNCTION = 302;

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

// The "cdaudio" device: its time format, playing and pausing.
namespace mixora {

inline constexpr std::uint32_t MCI_PAUSE = 0x0809;
inline constexpr std::uint32_t MCI_FROM = 0x00000004;
inline constexpr std::uint32_t MCI_TO = 0x00000008;
inline constexpr std::uint32_t MCI_TRACK = 0x00000010;
inline constexpr std::uint32_t MCI_FORMAT_TMSF = 10;
inline constexpr std::uint32_t MCI_STATUS_MODE = 0x00000004;
inline constexpr std::uint32_t MCI_MODE_PLAY = 526;

// Track, minutes, seconds and frames packed into one position.
constexpr std::uint32_t MCI_MAKE_TMSF(std::uint32_t t, std::uint32_t m, std::uint32_t s,
                                      std::uint32_t f) {
    return (t & 0xFF) | ((m & 0xFF) << 8) | ((s & 0xFF) << 16) | ((f & 0xFF) << 24);
}

// Opening a device by type; an empty element name asks for a new, untitled
// recording. The id of the opened device comes back in wDeviceID.
struct MCI_OPEN_PARMS {
    std::uintptr_t dwCallback = 0;
    std::uint32_t wDeviceID = 0;
    std::string lpstrDeviceType;
    std::string lpstrElementName;
    std::string lpstrAlias;
};

// The time format of a device (MCI_SET).
struct MCI_SET_PARMS {
    std::uintptr_t dwCallback = 0;
    std::uint32_t dwTimeFormat = 0;
    std::uint32_t dwAudio = 0;
};

// The format of a wave device (MCI_SET).
struct MCI_WAVE_SET_PARMS {
    std::uintptr_t dwCallback = 0;
    std::uint32_t dwTimeFormat = 0;
    std::uint32_t dwAudio = 0;
    std::uint32_t wInput = 0;
    std::uint32_t wOutput = 0;
    std::uint16_t wFormatTag = 0;
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
};

struct MCI_SEEK_PARMS {
    std::uintptr_t dwCallback = 0;
    std::uint32_t dwTo = 0;
};

// MCI_RECORD and MCI_PLAY: from and to are used only with their flags. The
// notification of a command sent with MCI_NOTIFY goes to dwCallback, the
// main window (the only one, so any non-zero value means it).
struct MCI_RECORD_PARMS {
    std::uintptr_t dwCallback = 0;
    std::uint32_t dwFrom = 0;
    std::uint32_t dwTo = 0;
};

struct MCI_PLAY_PARMS {
    std::uintptr_t dwCallback = 0;
    std::uint32_t dwFrom = 0;
    std::uint32_t dwTo = 0;
};

struct MCI_GENERIC_PARMS {
    std::uintptr_t dwCallback = 0;
};

struct MCI_SAVE_PARMS {
    std::uintptr_t dwCallback = 0;
    std::string lpfilename;
};

} // namespace mixora

// The rest of what the "cdaudio" device answers: status items, modes, the
// kind of a track, time formats, seeking and the notification codes.
namespace mixora {

inline constexpr std::uint32_t MCI_FORMAT_MSF = 2;

inline constexpr std::uint32_t MCI_STATUS_NUMBER_OF_TRACKS = 0x00000003;
inline constexpr std::uint32_t MCI_STATUS_MEDIA_PRESENT = 0x00000005;
inline constexpr std::uint32_t MCI_STATUS_TIME_FORMAT = 0x00000006;
inline constexpr std::uint32_t MCI_STATUS_READY = 0x00000007;
inline constexpr std::uint32_t MCI_STATUS_CURRENT_TRACK = 0x00000008;
inline constexpr std::uint32_t MCI_CDA_STATUS_TYPE_TRACK = 0x00004001;
inline constexpr std::uint32_t MCI_CDA_TRACK_AUDIO = 1088;
inline constexpr std::uint32_t MCI_CDA_TRACK_OTHER = 1089;

inline constexpr std::uint32_t MCI_MODE_NOT_READY = 524;
inline constexpr std::uint32_t MCI_MODE_STOP = 525;
inline constexpr std::uint32_t MCI_MODE_PAUSE = 529;
inline constexpr std::uint32_t MCI_MODE_OPEN = 530;

// The wParam of MM_MCINOTIFY (MCI_NOTIFY_SUCCESSFUL is in messages.h).
inline constexpr std::uintptr_t MCI_NOTIFY_SUPERSEDED = 2;
inline constexpr std::uintptr_t MCI_NOTIFY_ABORTED = 4;
inline constexpr std::uintptr_t MCI_NOTIFY_FAILURE = 8;

inline constexpr std::uint32_t MCIERR_INVALID_DEVICE_NAME = 263;
inline constexpr std::uint32_t MCIERR_MISSING_PARAMETER = 273;
inline constexpr std::uint32_t MCIERR_UNSUPPORTED_FUNCTION = 274;
inline constexpr std::uint32_t MCIERR_DEVICE_NOT_READY = 276;
inline constexpr std::uint32_t MCIERR_BAD_TIME_FORMAT = 293;

// Minutes, seconds and frames packed into one time (a track's length).
constexpr std::uint32_t MCI_MAKE_MSF(std::uint32_t m, std::uint32_t s, std::uint32_t f) {
    return (m & 0xFF) | ((s & 0xFF) << 8) | ((f & 0xFF) << 16);
}

} // namespace mixora
