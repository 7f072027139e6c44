#pragma once
// The seam between the core's main window and the desktop's window system.
// Everything here is called on the UI thread and never blocks.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/text_encoding.h"

namespace mixora {

// Receives every message of the window: the core's CMainFrame.
class IWindowProc {
public:
    virtual ~IWindowProc() = default;
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

struct POINT {
    int x = 0;
    int y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};

// One line of a popup menu: a command, or a separator when `id` is 0.
struct MenuItem {
    std::uint32_t id = 0;
    std::string text;
    bool radioChecked = false;
    // Starts a new column with this item (a column break with a bar).
    bool columnBreak = false;
    TextEncoding encoding = TextEncoding::Utf8;
};

// One tooltip: shown while the pointer rests inside `rect`.
struct ToolInfo {
    int id = 0;
    RECT rect;
    std::string text;
    TextEncoding encoding = TextEncoding::Utf8;
};

class IWindowHost {
public:
    virtual ~IWindowHost() = default;

    // Makes the (hidden) top-level window from the creation record and sends
    // WM_CREATE to `proc` before returning. Returns false, with no window left
    // behind, when the window system refuses or WM_CREATE answers -1.
    virtual bool Create(const CREATESTRUCT& cs, IWindowProc& proc) = 0;

    // Queues a message for the window; it is delivered from the message loop
    // after the current handler has returned, never from inside this call.
    virtual void PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

    // Starts (or restarts) timer `id`: WM_TIMER(id) every `elapseMs`.
    // Returns `id`, or 0 when no timer could be made.
    virtual UINT SetTimer(UINT id, UINT elapseMs) = 0;
    virtual bool KillTimer(UINT id) = 0;

    // SW_SHOW, SW_HIDE or SW_MINIMIZE.
    virtual void ShowWindow(int nCmdShow) = 0;
    // Paints whatever is pending now instead of at the next idle moment.
    virtual void UpdateWindow() = 0;

    // Resizes the window so that its client area is cx by cy, without moving
    // it or changing its stacking.
    virtual void SetClientSize(int cx, int cy) = 0;

    // The window's outline: the union of `rects` (client coordinates). An
    // empty list gives the whole rectangle back: a window is never left
    // without any pixel to click.
    virtual void SetWindowRgn(std::span<const RECT> rects, bool redraw) = 0;

    // The picture of the window: `width` x `height` pixels, 0xAARRGGBB, rows
    // top first. The core owns and draws it; the host only reads it when it
    // presents damaged parts. Null detaches it.
    virtual void SetSurface(const std::uint32_t* pixels, int width, int height) = 0;
    // Marks a part of the window (null: all of it) as needing a repaint; the
    // host sends WM_PAINT and presents the surface there.
    virtual void InvalidateRect(const RECT* rc) = 0;

    virtual POINT ClientToScreen(POINT pt) = 0;

    // Shows a popup menu with its top-left corner at `screen`; the item the
    // user chooses is posted to the window as WM_COMMAND with its id.
    virtual void TrackPopupMenu(const std::vector<MenuItem>& items, POINT screen) = 0;

    // Keeps pointer messages coming to the window while a slider is held,
    // even outside it, until ReleaseCapture.
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    // Moves the window with the pointer until the left button goes up; the
    // pointer messages of that move do not reach the window.
    virtual void BeginWindowMove() = 0;

    // The tooltips of the window (replacing any before) and whether they show.
    virtual void SetTools(const std::vector<ToolInfo>& tools) = 0;
    virtual void ActivateTooltips(bool active) = 0;

    // Sends WM_DESTROY to the window procedure, removes the window and ends
    // the message loop: the program then returns from its event loop.
    virtual void DestroyWindow() = 0;
};

} // namespace mixora
