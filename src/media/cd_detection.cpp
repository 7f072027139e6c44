// Audio-CD detection: polled from the window's timer, with a "cdaudio"
// device of its own for each poll.
#include <algorithm>
#include <cstdio>

#include "media/playback_engine.h"
#include "platform/mci.h"

namespace mixora {
namespace {

std::string TrackName(std::uint32_t track) {
    char name[32];
    std::snprintf(name, sizeof name, track < 10 ? "Track0%u.cda" : "Track%u.cda", track);
    return name;
}

} // namespace

void CPlaybackEngine::DetectAudioCd(CPlaybackWindow& w) {
    if (w.m_wCdDevice != 0) {
        return; // the engine holds the drive
    }
    MCI_OPEN_PARMS open;
    open.lpstrDeviceType = "cdaudio";
    if (s_.mci.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open) != 0) {
        return;
    }
    const std::uint32_t id = open.wDeviceID;
    auto status = [&](std::uint32_t flags, std::uint32_t item, std::uint32_t track = 0) {
        MCI_STATUS_PARMS p;
        p.dwItem = item;
        p.dwTrack = track;
        s_.mci.SendCommand(id, MCI_STATUS, flags, &p);
        return static_cast<std::uint32_t>(p.dwReturn);
    };
    if (!w.m_bCdPresent) {
        if (status(MCI_STATUS_ITEM, MCI_STATUS_MEDIA_PRESENT) != 0 &&
            status(MCI_STATUS_ITEM | MCI_TRACK, MCI_CDA_STATUS_TYPE_TRACK, 1) ==
                MCI_CDA_TRACK_AUDIO) {
            w.m_bCdPresent = 1;
            const std::uint32_t n = status(MCI_STATUS_ITEM, MCI_STATUS_NUMBER_OF_TRACKS);
            for (std::uint32_t i = 1; i <= n; ++i) {
                const std::uint32_t length =
                    status(MCI_STATUS_ITEM | MCI_TRACK, MCI_STATUS_LENGTH, i);
                w.m_playlist.push_back({TrackName(i), static_cast<double>(length)});
            }
            RefreshPlaylistView(w);
        }
    } else if (status(MCI_STATUS_ITEM, MCI_STATUS_MODE) == MCI_MODE_OPEN) {
        const int before = static_cast<int>(w.m_playlist.size());
        int r = 0, k = 0;
        bool selectedRemoved = false;
        std::vector<PlaylistEntry> kept;
        for (PlaylistEntry& e : w.m_playlist) {
            if (IsMciCdTrack(e.path)) {
                if (k < w.m_nCurrent) {
                    ++r;
                }
                selectedRemoved = selectedRemoved || k == w.m_nSelected;
            } else {
                kept.push_back(std::move(e));
            }
            ++k;
        }
        w.m_playlist = std::move(kept);
        if (r != 0) {
            w.m_nSelected = -1;
            w.m_nCurrent -= r;
            w.m_nTopIndex = w.m_nCurrent;
        }
        // The removal may leave an index past the end or on a line that is
        // gone (the current entry was a CD track, or no removed entry stood
        // before it): bring each back into the list here, so nothing
        // afterwards looks outside it.
        const int last = std::max(0, static_cast<int>(w.m_playlist.size()) - 1);
        w.m_nCurrent = std::clamp(w.m_nCurrent, 0, last);
        w.m_nTopIndex = std::clamp(w.m_nTopIndex, 0, last);
        if (selectedRemoved || w.m_nSelected >= static_cast<int>(w.m_playlist.size())) {
            w.m_nSelected = -1;
        }
        if (r != 0 || static_cast<int>(w.m_playlist.size()) != before) {
            RefreshPlaylistView(w);
        }
        w.m_bCdPresent = 0;
    }
    s_.mci.SendCommand(id, MCI_CLOSE, 0, nullptr);
}

} // namespace mixora
