#pragma once
// What a screen reader is told about the window beyond what the host knows
// itself (each control's tooltip text and box): which controls are sliders,
// what the buttons show and where the sliders stand, and the playlist's
// lines. The core's main window answers; the host asks on the UI thread
// whenever an assistive tool looks, so the answers are always current.
#include <string>
#include <vector>

#include "platform/messages.h"

namespace mixora {

struct AccessibleControl {
    int id = 0;
    bool slider = false;
    // A button that shows on and off (mute, voice cancellation, a panel
    // toggle), and whether it is on now.
    bool twoState = false;
    bool on = false;
    // A slider's place: 0 at the left or top end, 1 at the other.
    double value = 0.0;
};

struct AccessiblePlaylist {
    RECT area;                      // where the lines show (client coordinates)
    std::vector<std::string> lines; // UTF-8: the file name and the length shown
    int marked = -1;                // the marked line, or -1
    int playing = -1;               // the line being played, or -1
};

class IAccessibleWindow {
public:
    virtual ~IAccessibleWindow() = default;
    virtual std::vector<AccessibleControl> AccessibleControls() const = 0;
    virtual AccessiblePlaylist AccessibleList() const = 0;
};

} // namespace mixora
