#pragma once
// The seam between the core's main window and the desktop's window system.
// Everything here is called on the UI thread and never blocks.
#include <string>

#include "platform/messages.h"

namespace mixora {

// Receives every message of the window: the core's CMainFrame.
class IWindowProc {
public:
    virtual ~IWindowProc() = default;
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
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

    // Sends WM_DESTROY to the window procedure, removes the window and ends
    // the message loop: the program then returns from its event loop.
    virtual void DestroyWindow() = 0;
};

} // namespace mixora
