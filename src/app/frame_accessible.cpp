// The window as a screen reader sees it: the controls' kinds and states and
// the playlist's lines, read fresh from the skin and the list every time.
#include "app/control_ids.h"
#include "app/main_frame.h"
#include "app/playlist_text.h"

namespace mixora {

std::vector<AccessibleControl> CMainFrame::AccessibleControls() const {
    std::vector<AccessibleControl> out;
    for (const auto& control : m_skin.Controls()) {
        AccessibleControl a;
        a.id = control->m_nID;
        if (control->m_nKind == kControlSlider) {
            a.slider = true;
            a.value = m_skin.GetSliderFraction(a.id);
        } else {
            const auto& button = static_cast<const CSkinButton&>(*control);
            // Repeat cycles through four modes and play/pause shows what a
            // press will do: neither is an on/off switch.
            a.twoState =
                button.m_nStyle != kButtonPlain && a.id != ID_REPEAT && a.id != ID_PLAY_PAUSE;
            a.on = a.twoState && button.m_nState != 0;
        }
        out.push_back(a);
    }
    return out;
}

AccessiblePlaylist CMainFrame::AccessibleList() const {
    AccessiblePlaylist list;
    list.area = m_rcPlaylist;
    list.lines.reserve(m_playlist.size());
    for (const PlaylistEntry& entry : m_playlist) {
        list.lines.push_back(FileNameOf(entry.path) + ", " + FormatLengthText(entry));
    }
    list.marked = m_nSelected;
    list.playing = m_nPlayState != 0 ? m_nCurrent : -1;
    return list;
}

} // namespace mixora
