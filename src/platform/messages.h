#pragma once
// The message vocabulary the core and the window host share. The numbers are
// the classic window-message values, so that stored traces, tests and the
// rest of the program speak of the same messages.
#include <cstdint>

namespace mixora {

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_POWERBROADCAST = 0x0218;
inline constexpr UINT MM_MCINOTIFY = 0x03B9;

// WM_CLOSE's lParam when the program is ended from outside (a signal at
// logout): nobody can be asked anything any more.
inline constexpr LPARAM kCloseWithoutAsking = 0x4D58;

// WM_KEYDOWN: wParam is the virtual key (letters and digits are their
// upper-case ASCII codes); lParam carries kKeyControl while Ctrl is held.
inline constexpr LPARAM kKeyControl = 0x0008;
inline constexpr WPARAM VK_ESCAPE = 0x1B;
inline constexpr WPARAM VK_SPACE = 0x20;
inline constexpr WPARAM VK_LEFT = 0x25;
inline constexpr WPARAM VK_UP = 0x26;
inline constexpr WPARAM VK_RIGHT = 0x27;
inline constexpr WPARAM VK_DOWN = 0x28;
inline constexpr WPARAM VK_DELETE = 0x2E;

// WM_MOUSEWHEEL: the high word of wParam is the signed distance turned, in
// WHEEL_DELTA units per notch (positive away from the user), the low word
// the key flags; lParam the pointer in client coordinates.
inline constexpr int WHEEL_DELTA = 120;

// WM_POWERBROADCAST events.
inline constexpr WPARAM PBT_APMSUSPEND = 4;
inline constexpr WPARAM PBT_APMRESUMESUSPEND = 7;

// MM_MCINOTIFY word.
inline constexpr WPARAM MCI_NOTIFY_SUCCESSFUL = 1;

// Window styles used by the frame's creation record.
inline constexpr std::uint32_t WS_POPUP = 0x80000000u;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000u;
inline constexpr std::uint32_t FWS_ADDTOTITLE = 0x00008000u;
inline constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200u;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;

constexpr std::uint16_t LOWORD(std::uintptr_t v) {
    return static_cast<std::uint16_t>(v & 0xFFFF);
}
constexpr std::uint16_t HIWORD(std::uintptr_t v) {
    return static_cast<std::uint16_t>((v >> 16) & 0xFFFF);
}
constexpr WPARAM MAKEWPARAM(std::uint16_t lo, std::uint16_t hi) {
    return static_cast<WPARAM>(lo) | (static_cast<WPARAM>(hi) << 16);
}

// The creation record the frame fills in before its window is made.
struct CREATESTRUCT {
    std::uint32_t style = 0;
    std::uint32_t dwExStyle = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    bool hasMenu = false;
};

} // namespace mixora

namespace mixora {

// A rectangle in window coordinates; right and bottom are exclusive.
struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const RECT&, const RECT&) = default;
};

} // namespace mixora
