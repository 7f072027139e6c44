#pragma once
// The audio-CD drive behind the "cdaudio" device: the tray and the table of
// contents, read from the drive itself, and the sound of a stretch of the
// disc, played by the media engine. Addresses are logical block addresses
// of the disc, in frames (sectors) of 1/75 second; frame 0 is where the
// first track normally starts.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mixora {

inline constexpr std::uint32_t kCdFramesPerSecond = 75;

enum class CdTray {
    Open,     // the door is open
    NoDisc,   // closed, nothing inside
    NotReady, // busy, spinning up, or unreadable
    Disc,     // closed with a disc
};

struct CdTrack {
    std::uint32_t start = 0; // first frame
    bool data = false;       // a data track, not sound
};

struct CdToc {
    std::uint8_t firstTrack = 1;
    std::vector<CdTrack> tracks; // tracks firstTrack, firstTrack + 1, ...
    std::uint32_t leadOut = 0;   // the frame after the last track
};

// One opened look at the drive. UI thread; each call asks the drive anew
// except the table of contents, read once per session.
class ICdDriveSession {
public:
    virtual ~ICdDriveSession() = default;
    virtual CdTray Status() = 0;
    // False when no table can be read (no disc, tray open, drive busy).
    virtual bool ReadToc(CdToc* toc) = 0;
    // The device node the session has open ("/dev/sr0").
    virtual const std::string& Device() const = 0;
};

class ICdDrive {
public:
    virtual ~ICdDrive() = default;
    // Null when there is no drive. Never blocks and never spins a disc up.
    virtual std::unique_ptr<ICdDriveSession> Open() = 0;
};

// The sound of the disc. UI thread, except where said.
class ICdAudioOutput {
public:
    virtual ~ICdAudioOutput() = default;
    // Plays frames [from, to) of the disc in `device`, replacing any play.
    // `onEnd` runs later on the UI thread when `to` has been reached (false)
    // or the sound failed (true); never after another Play or Stop. False
    // when the sound cannot start.
    virtual bool Play(const std::string& device, std::uint32_t from, std::uint32_t to,
                      std::function<void(bool failed)> onEnd) = 0;
    // Holds the sound where it is; Play from that frame goes on from there.
    virtual void Pause() = 0;
    virtual void Stop() = 0;
    // The frame being heard.
    virtual std::uint32_t Position() = 0;
    // Linear gain (1.0 unchanged) and mute of the CD line.
    virtual void SetLevel(double gain, bool mute) = 0;
};

class ICdAudioOutputFactory {
public:
    virtual ~ICdAudioOutputFactory() = default;
    // Called on the first play only, so the media engine starts with it.
    // Null, with the reason in `why`, when no sound can be made.
    virtual std::unique_ptr<ICdAudioOutput> CreateCdOutput(std::string* why) = 0;
};

} // namespace mixora
