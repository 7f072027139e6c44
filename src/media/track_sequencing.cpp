// Which entry plays next: Play / Pause, next and previous, and the advance
// at the end of a track by the repeat mode.
#include "media/playback_engine.h"
#include "media/random_order.h"

namespace mixora {
namespace {
constexpr int kPlayPauseButton = 1001;
}

void CPlaybackEngine::PlayPause(CPlaybackWindow& w) {
    const int state = w.GetButtonState(kPlayPauseButton);
    if (state == 0) {
        if (w.m_nPlayState == 0 && w.m_nRepeatMode == 3) {
            // Here the current entry may come up again.
            w.m_nCurrent = w.m_nTopIndex =
                RandomIndex(w.m_nRandomState, static_cast<int>(w.m_playlist.size()));
        }
        PlayCurrent(w);
    } else if (state == 1) {
        PausePlayback(w);
    }
}

void CPlaybackEngine::NextTrack(CPlaybackWindow& w) {
    StepTrack(w, true);
}

void CPlaybackEngine::PreviousTrack(CPlaybackWindow& w) {
    StepTrack(w, false);
}

// One entry on or back, wrapping at the ends; in shuffle any other entry.
void CPlaybackEngine::StepTrack(CPlaybackWindow& w, bool forward) {
    const int n = static_cast<int>(w.m_playlist.size());
    if (n == 0) {
        return;
    }
    if (w.m_nRepeatMode == 3) {
        w.m_nCurrent = RandomIndexAvoiding(w.m_nRandomState, n, w.m_nCurrent);
    } else if (forward) {
        w.m_nCurrent = w.m_nCurrent + 1 >= n ? 0 : w.m_nCurrent + 1;
    } else {
        w.m_nCurrent = w.m_nCurrent <= 0 ? n - 1 : w.m_nCurrent - 1;
    }
    w.m_nTopIndex = w.m_nCurrent;
    w.m_bReload = 1;
    PlayCurrent(w);
}

void CPlaybackEngine::OnTrackEnd(CPlaybackWindow& w) {
    const int n = static_cast<int>(w.m_playlist.size());
    if (n == 0) {
        if (w.m_pPlayer) {
            w.m_pPlayer->ShowWindow(false);
            w.m_pPlayer->PutCurrentPosition(0.0);
        }
        w.m_nTopIndex = w.m_nCurrent = 0;
        w.m_bCdMode = 0;
        w.m_bReload = 1;
        StopPlayback(w);
        return;
    }
    switch (w.m_nRepeatMode) {
    case 0:
    case 2:
        if (w.m_bReload) {
            w.m_nCurrent = w.m_nTopIndex = 0;
            w.m_bReload = 0;
        } else {
            w.m_nCurrent += 1;
            w.m_nTopIndex = w.m_nCurrent;
        }
        if (w.m_nCurrent >= n) {
            w.m_nTopIndex = w.m_nCurrent = 0;
            if (w.m_nRepeatMode == 2) {
                PlayCurrent(w);
                break;
            }
            if (w.m_pPlayer) {
                w.m_pPlayer->PutCurrentPosition(0.0);
            }
            w.m_bReload = 1;
            w.m_bCdMode = 0;
            StopPlayback(w);
        } else {
            PlayCurrent(w);
        }
        break;
    case 1:
        PlayCurrent(w);
        break;
    case 3:
        w.m_nCurrent = w.m_nTopIndex = RandomIndexAvoiding(w.m_nRandomState, n, w.m_nCurrent);
        PlayCurrent(w);
        break;
    default:
        break;
    }
}

} // namespace mixora
