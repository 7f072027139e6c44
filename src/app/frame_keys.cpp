// The keyboard and the mouse wheel. Neither has a road of its own: a key
// posts the very command its control posts, and a wheel notch moves a
// slider as a drag would, so the dispatcher cannot tell them apart.
#include "app/control_ids.h"
#include "app/main_frame.h"

namespace mixora {
namespace {

constexpr int kNextTrack = 1003;
constexpr int kPreviousTrack = 1004;
constexpr int kOpenMedia = 1005;
constexpr int kStepForward = 1062;
constexpr int kStepBackward = 1064;
constexpr int kRemoveMarked = 1077;
constexpr int kLoadPlaylist = 1079;
constexpr int kSavePlaylist = 1080;

// What a key stands for: a command, or a volume step (Up/Down).
struct KeyAction {
    int command = 0;
    int volumeNotches = 0;
};

// The well-known keys of skinned players. X plays (or resumes) and never
// pauses; C pauses or resumes and never starts a stopped player; Space
// toggles. Escape and every unlisted key do nothing.
KeyAction ActionFor(WPARAM key, bool control, int playState) {
    if (control) {
        switch (key) {
        case 'O':
            return {kOpenMedia};
        case 'L':
            return {kLoadPlaylist};
        case 'S':
            return {kSavePlaylist};
        case 'Q':
            return {ID_POWER};
        default:
            return {};
        }
    }
    switch (key) {
    case 'Z':
        return {kPreviousTrack};
    case 'X':
        return {playState == 1 ? 0 : ID_PLAY_PAUSE};
    case 'C':
        return {playState == 0 ? 0 : ID_PLAY_PAUSE};
    case VK_SPACE:
        return {ID_PLAY_PAUSE};
    case 'V':
        return {ID_STOP};
    case 'B':
        return {kNextTrack};
    case VK_LEFT:
        return {kStepBackward};
    case VK_RIGHT:
        return {kStepForward};
    case VK_UP:
        return {0, 1};
    case VK_DOWN:
        return {0, -1};
    case 'M':
        return {ID_MUTE};
    case 'R':
        return {ID_REPEAT};
    case VK_DELETE:
        return {kRemoveMarked};
    default:
        return {};
    }
}

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

void CMainFrame::OnKeyDown(WPARAM key, bool control) {
    const KeyAction action = ActionFor(key, control, m_nPlayState);
    if (action.volumeNotches != 0) {
        m_skin.StepSlider(ID_VOLUME, action.volumeNotches);
    } else if (action.command != 0) {
        m_host.PostMessage(WM_COMMAND, static_cast<WPARAM>(action.command), 0);
    }
}

void CMainFrame::OnMouseWheel(int delta, int x, int y) {
    // Touchpads send fractions of a notch: a step is taken for each whole
    // notch, the rest kept for the next turn in the same direction.
    static_assert(WHEEL_DELTA > 0);
    if ((m_nWheelRest > 0) != (delta > 0)) {
        m_nWheelRest = 0;
    }
    m_nWheelRest += delta;
    const int notches = m_nWheelRest / WHEEL_DELTA;
    if (notches == 0) {
        return;
    }
    m_nWheelRest -= notches * WHEEL_DELTA;
    int id = -1;
    if (const CSkinSlider* slider = m_skin.SliderAt(x, y)) {
        id = slider->m_nID;
    } else if (m_bShowPlaylist && Inside(m_rcPlaylist, x, y)) {
        id = ID_PLAYLIST_SCROLLBAR;
    }
    if (id < 0) {
        return;
    }
    // The list scrolls up when the wheel turns away from the user, whichever
    // way the skin's scrollbar thumb runs.
    const bool reversed = id == ID_PLAYLIST_SCROLLBAR && m_bPLScrollReverse;
    m_skin.StepSlider(id, reversed ? -notches : notches);
}

} // namespace mixora
