#pragma once
// The player as the desktop sees it from outside the window: media keys and
// sound applets over D-Bus, a second start of the program, files dropped on
// the window. Every call is on the UI thread and returns once the command
// has run through the window's dispatcher, as a click on the control would.
#include <functional>
#include <string>
#include <vector>

#include "platform/window_host.h"

namespace mixora {

enum class PlaybackStatus { Stopped, Playing, Paused };

// What the player shows; a change of any of it is worth telling the desktop.
struct PlayerStatus {
    PlaybackStatus playback = PlaybackStatus::Stopped;
    // The repeat button's mode: 0 the list once, 1 the entry again and
    // again, 2 the list again and again, 3 random order.
    int repeatMode = 0;
    // The volume bar's place, 0 (silent end) to 1.
    double volume = 1.0;
    // The entry that plays or would play next on Play, -1 for an empty list.
    int entry = -1;
    int entryCount = 0;
    // That entry's path (or URI) and length in seconds (0 when unknown).
    std::string path;
    double lengthSeconds = 0.0;
    friend bool operator==(const PlayerStatus&, const PlayerStatus&) = default;
};

enum class TransportCommand { PlayPause, Play, Pause, Stop, Next, Previous };
enum class OpenMode { Replace, Append };

class IRemotePlayer {
public:
    virtual ~IRemotePlayer() = default;
    virtual PlayerStatus Status() = 0;
    // Seconds into the entry that plays (0 while stopped).
    virtual double PositionSeconds() = 0;
    virtual void Transport(TransportCommand command) = 0;
    // Jumps to `seconds` into the entry that plays; ignored while stopped.
    virtual void SeekTo(double seconds) = 0;
    // Moves the volume bar to `fraction` (0..1).
    virtual void SetVolume(double fraction) = 0;
    virtual void SetRepeatMode(int mode) = 0;
    // Files, folders, lists or URIs: replace the list and play the first, or
    // append them.
    virtual void Open(std::vector<std::string> items, OpenMode mode) = 0;
    // The same, dropped at `at` (client coordinates): on the playlist they
    // are appended, anywhere else they replace the list and play.
    virtual void Drop(std::vector<std::string> items, POINT at) = 0;
    // Power: the window closes as it would by its own button.
    virtual void Quit() = 0;
    // `changed` runs after any message that changed Status().
    virtual void SetStatusListener(std::function<void()> changed) = 0;
};

} // namespace mixora
