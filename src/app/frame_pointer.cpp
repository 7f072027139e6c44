// The window's pointer messages: the playlist area is the playlist's, the
// rest goes to the skin.
#include "app/main_frame.h"
#include "app/playback_operations.h"
#include "app/recorder_operations.h"
#include "device/effect_operations.h"

namespace mixora {
namespace {

// The entry under (x, y), or -1: only inside the playlist area, on a line
// that has an entry. A skin without a first line (pitch 0) has no lines.
int LineAt(const CMainFrame& f, int x, int y) {
    const RECT& area = f.m_rcPlaylist;
    const int pitch = f.m_rcPlaylistLine.bottom - f.m_rcPlaylistLine.top;
    if (pitch <= 0 || f.m_playlist.empty() || x < area.left || x >= area.right || y < area.top ||
        y >= area.bottom) {
        return -1;
    }
    const long long line = static_cast<long long>(f.m_nTopIndex) + (y - area.top) / pitch;
    return line < static_cast<long long>(f.m_playlist.size()) ? static_cast<int>(line) : -1;
}

} // namespace

void CMainFrame::OnMouseMove(std::uint32_t keyFlags, int x, int y) {
    m_skin.OnMove(keyFlags, x, y);
}

void CMainFrame::OnLButtonDown(std::uint32_t, int x, int y) {
    MarkLineAt(x, y);
    m_skin.OnPress(x, y);
}

void CMainFrame::OnLButtonUp(std::uint32_t, int x, int y) {
    m_skin.OnRelease(x, y);
}

void CMainFrame::OnLButtonDblClk(std::uint32_t, int x, int y) {
    PlayLineAt(x, y);
}

void CMainFrame::OnActivate(bool active) {
    m_skin.SetActive(active);
}

void CMainFrame::MarkLineAt(int x, int y) {
    const int line = LineAt(*this, x, y);
    if (line >= 0) {
        m_nSelected = line;
        RefreshPlaylist();
    }
}

void CMainFrame::PlayLineAt(int x, int y) {
    const int line = LineAt(*this, x, y);
    if (line >= 0) {
        m_nSelected = m_nCurrent = line;
        m_bReload = 1;
        m_playback.PlayCurrent(*this);
    }
}

} // namespace mixora
