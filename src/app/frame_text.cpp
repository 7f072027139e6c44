// The title and playlist texts of the window.
//
// Texts are drawn straight into the window's picture every timer tick. The
// fonts are anti-aliased, so drawing a text transparently over itself again
// and again would darken and thicken its edges tick by tick; each cell is
// therefore put back from SKINBASE before its text is drawn, which keeps
// the look the same on every tick.
#include <algorithm>

#include "app/main_frame.h"
#include "app/playlist_text.h"
#include "platform/text_rasterizer.h"

namespace mixora {
namespace {

int HeightOf(const RECT& rc) { return std::max(0, static_cast<int>(rc.bottom - rc.top)); }

RECT MovedDown(const RECT& rc, int dy) { return RECT{rc.left, rc.top + dy, rc.right, rc.bottom + dy}; }

RECT Bounding(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

} // namespace

void CMainFrame::CreateFonts() {
    m_fontTitle = HeightOf(m_rcTitle);
    m_fontPlaylist = HeightOf(m_rcPlaylistLine);
}

void CMainFrame::DrawTitle() {
    if (m_strLoadedPath.empty() || m_playlist.empty()) {
        return;
    }
    m_skin.RestoreFromBase(m_rcTitle);
    m_text.DrawText(m_skin.View(), m_rcTitle, m_rcTitle.left, m_rcTitle.top, FileNameOf(m_strLoadedPath),
                    m_fontTitle, m_crName, false, m_crSelected);
    m_skin.Invalidate(m_rcTitle);
}

void CMainFrame::DrawPlaylistText() {
    if (m_playlist.empty()) {
        return;
    }
    const int entries = static_cast<int>(m_playlist.size());
    // A top index at or past the end leaves nothing to draw; one before the
    // start (never set by the program) draws nothing either instead of
    // reading outside the list.
    if (m_nTopIndex < 0 || m_nTopIndex >= entries) {
        return;
    }
    const int lines = std::min(entries - m_nTopIndex, m_nVisibleLines);
    if (lines <= 0) {
        return;
    }
    RECT nameCell = m_rcPlaylistLine;
    RECT timeCell = m_rcTimeColumn;
    RECT changed = Bounding(nameCell, timeCell);
    const SurfaceView view = m_skin.View();
    for (int line = 0; line < lines; ++line) {
        const int index = m_nTopIndex + line;
        const PlaylistEntry& entry = m_playlist[static_cast<std::size_t>(index)];
        const std::uint32_t color = index == m_nCurrent ? m_crPlaying : m_crPlaylist;
        const bool selected = index == m_nSelected;
        if (!selected) {
            m_skin.RestoreFromBase(nameCell);
            m_skin.RestoreFromBase(timeCell);
        }
        m_text.DrawText(view, nameCell, nameCell.left, nameCell.top, FileNameOf(entry.path), m_fontPlaylist,
                        color, selected, m_crSelected);
        m_text.DrawText(view, timeCell, timeCell.left, timeCell.top, FormatLengthText(entry), m_fontPlaylist,
                        color, selected, m_crSelected);
        changed = Bounding(changed, Bounding(nameCell, timeCell));
        nameCell = MovedDown(nameCell, HeightOf(nameCell));
        timeCell = MovedDown(timeCell, HeightOf(timeCell));
    }
    m_skin.Invalidate(changed);
}

void CMainFrame::RefreshPlaylist() {
    m_skin.RestoreFromBase(m_rcPlaylist);
    m_skin.Invalidate(m_rcPlaylist);
    DrawPlaylistText();
}

} // namespace mixora
