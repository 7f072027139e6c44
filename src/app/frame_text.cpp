// The title and playlist texts of the window.
//
// Texts are drawn straight into the window's picture every timer tick. The
// fonts are anti-aliased, so drawing a text transparently over itself again
// and again would darken and thicken its edges tick by tick; each cell is
// therefore put back from SKINBASE before its text is drawn, which keeps
// the look the same on every tick. A tick that draws the same texts again
// leaves the same pixels, and only changed pixels are presented, so an idle
// window stays idle.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/main_frame.h"
#include "app/playlist_text.h"
#include "platform/text_rasterizer.h"

namespace mixora {
namespace {

int HeightOf(const RECT& rc) {
    return std::max(0, static_cast<int>(rc.bottom - rc.top));
}

RECT MovedDown(const RECT& rc, int dy) {
    return RECT{rc.left, rc.top + dy, rc.right, rc.bottom + dy};
}

RECT Bounding(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// The pixels of `rc`, kept to the picture.
std::vector<std::uint32_t> PixelsOf(const CSkin& skin, const RECT& rc) {
    const auto& surface = skin.Surface();
    const int width = skin.Size().cx;
    const int height = skin.Size().cy;
    std::vector<std::uint32_t> out;
    if (width <= 0 || height <= 0 || surface.size() < static_cast<std::size_t>(width) * height) {
        return out;
    }
    for (int y = std::max(rc.top, 0); y < std::min(rc.bottom, height); ++y) {
        const int left = std::max(rc.left, 0);
        const int right = std::min(rc.right, width);
        if (left < right) {
            const auto row = surface.begin() + static_cast<std::ptrdiff_t>(y) * width;
            out.insert(out.end(), row + left, row + right);
        }
    }
    return out;
}

// Runs `draw` and presents `area` when that changed any of its pixels.
template <class Draw> void PresentIfChanged(CSkin& skin, const RECT& area, Draw draw) {
    const std::vector<std::uint32_t> before = PixelsOf(skin, area);
    draw();
    if (PixelsOf(skin, area) != before) {
        skin.Invalidate(area);
    }
}

} // namespace

void CMainFrame::CreateFonts() {
    m_fontTitle = HeightOf(m_rcTitle);
    m_fontPlaylist = HeightOf(m_rcPlaylistLine);
}

void CMainFrame::DrawTitle() {
    // While files are being added the title shows how far that has come.
    const bool adding = !m_strProgress.empty();
    if (!adding && (m_strLoadedPath.empty() || m_playlist.empty())) {
        return;
    }
    const std::string text = adding ? m_strProgress : FileNameOf(m_strLoadedPath);
    PresentIfChanged(m_skin, m_rcTitle, [&] {
        m_skin.RestoreFromBase(m_rcTitle);
        m_text.DrawText(m_skin.View(), m_rcTitle, m_rcTitle.left, m_rcTitle.top, text, m_fontTitle,
                        m_crName, false, m_crSelected);
    });
}

void CMainFrame::EraseTitle() {
    m_skin.RestoreFromBase(m_rcTitle);
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
    // From the first line's cells down to the last line's.
    const int nameHeight = HeightOf(m_rcPlaylistLine);
    const int timeHeight = HeightOf(m_rcTimeColumn);
    const RECT area = Bounding(Bounding(m_rcPlaylistLine, m_rcTimeColumn),
                               Bounding(MovedDown(m_rcPlaylistLine, (lines - 1) * nameHeight),
                                        MovedDown(m_rcTimeColumn, (lines - 1) * timeHeight)));
    PresentIfChanged(m_skin, area, [&] {
        RECT nameCell = m_rcPlaylistLine;
        RECT timeCell = m_rcTimeColumn;
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
            m_text.DrawText(view, nameCell, nameCell.left, nameCell.top, FileNameOf(entry.path),
                            m_fontPlaylist, color, selected, m_crSelected);
            m_text.DrawText(view, timeCell, timeCell.left, timeCell.top, FormatLengthText(entry),
                            m_fontPlaylist, color, selected, m_crSelected);
            nameCell = MovedDown(nameCell, HeightOf(nameCell));
            timeCell = MovedDown(timeCell, HeightOf(timeCell));
        }
    });
}

void CMainFrame::RefreshPlaylist() {
    PresentIfChanged(m_skin, m_rcPlaylist, [this] {
        m_skin.RestoreFromBase(m_rcPlaylist);
        DrawPlaylistText();
    });
}

} // namespace mixora
