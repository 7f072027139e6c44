#pragma once
// The hosted media player: a control that plays one media file at a time on
// a rectangle of the main window, and the factory that makes controls.
// Every call is made on the UI thread. Calls never re-enter the window: what
// the control reports (end of media and the like) arrives later as a message
// in the window's queue (WM_MEDIA_EVENT below).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/messages.h"
#include "platform/window_host.h"

namespace mixora {

// Posted to the main window when a media control raises an event:
// wParam = MAKEWPARAM(controlId, eventId), lParam = the event's first 32-bit
// argument (0 when it has none). Events of a control that has been destroyed
// since are dropped by the stand-in before they reach the window.
inline constexpr UINT WM_MEDIA_EVENT = 0x8000 + 0x0168;

// The control's events.
inline constexpr int kMediaEventEndOfStream = 3002;
inline constexpr int kMediaEventPositionChange = 3012;
inline constexpr int kMediaEventOpenStateChange = 3010;

// The display and behaviour switches the program turns off at creation
// (what each one turns off belongs to the control).
inline constexpr int kMediaSwitchShowControls = 23;
inline constexpr int kMediaSwitchShowStatusBar = 1063;
inline constexpr int kMediaSwitchShowDisplay = 1064;
inline constexpr int kMediaSwitchAutoRewind = 1025;

// Play states as the control reports them; any other value counts as neither.
inline constexpr int kMediaStopped = 0;
inline constexpr int kMediaPaused = 1;
inline constexpr int kMediaPlaying = 2;

class IMediaControl {
public:
    virtual ~IMediaControl() = default;

    // Loads the media at `path` (bytes of a local path, UTF-8 on Linux) and
    // starts playing it by itself. The empty string unloads whatever is
    // loaded. Does not wait for the media to start sounding.
    virtual void PutFileName(const std::string& path) = 0;

    // Length of the loaded media in seconds; 0.0 for media that cannot be
    // played (and when nothing is loaded). May wait, bounded, until the
    // loaded media has been opened far enough to know its length.
    virtual double GetDuration() = 0;

    // Position in the loaded media, in seconds from its start.
    virtual double GetCurrentPosition() = 0;
    virtual void PutCurrentPosition(double seconds) = 0;

    // kMediaStopped, kMediaPaused or kMediaPlaying.
    virtual int GetPlayState() = 0;

    // Non-zero when the loaded media has a picture to show.
    virtual int GetHasPicture() = 0;

    // Volume in hundredths of a decibel, -3000 (-30 dB) .. 0 (unity).
    virtual void PutVolume(int volume) = 0;
    virtual void PutMute(bool mute) = 0;

    // One of the kMediaSwitch* switches.
    virtual void PutSwitch(int id, bool value) = 0;

    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;

    // The control's window: shown or hidden, and placed on a rectangle of
    // the main window (window coordinates).
    virtual void ShowWindow(bool visible) = 0;
    virtual void MoveWindow(const RECT& rect) = 0;
};

class IMediaControlFactory {
public:
    virtual ~IMediaControlFactory() = default;

    // Makes a control as a child of the main window with the given child id
    // on `rect` (window coordinates), visible unless `visible` is false.
    // A control made on the empty rectangle (0, 0, 0, 0) is a probe: it never
    // sounds or shows anything and only answers GetDuration for the file put
    // into it, quickly (from the file's headers where it can). Probes, unlike
    // other controls, may be made and used on any thread, so that the lengths
    // of many files can be measured in parallel.
    // Returns null when no control can be made (the media engine is missing),
    // with the reason in `why` when it is given.
    virtual std::unique_ptr<IMediaControl> Create(int controlId, const RECT& rect, bool visible,
                                                  std::string* why = nullptr) = 0;
};

} // namespace mixora
