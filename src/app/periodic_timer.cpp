// Timer 1: everything that moves on the window without a user action.
#include <algorithm>
#include <cmath>

#include "app/control_ids.h"
#include "app/main_frame.h"
#include "app/playback_operations.h"
#include "app/recorder_operations.h"
#include "device/effect_operations.h"

namespace mixora {

ElapsedTime ComputeElapsedTime(const CMainFrame& f, IMci& mci, double playerPosition) {
    ElapsedTime e;
    if (f.m_nPlayState == 0) {
        return e;
    }
    if (f.m_bCdMode) {
        if (f.m_wCdDevice == 0) {
            return e;
        }
        // The track length is packed minutes/seconds/frames; the position
        // comes back as tracks/minutes/seconds/frames.
        const auto packed = static_cast<std::uint32_t>(f.m_dLength);
        const int length =
            60 * static_cast<int>(packed & 0xFF) + static_cast<int>((packed >> 8) & 0xFF);
        MCI_STATUS_PARMS status;
        status.dwItem = MCI_STATUS_POSITION;
        if (mci.SendCommand(f.m_wCdDevice, MCI_STATUS, MCI_STATUS_ITEM, &status) != 0) {
            return e;
        }
        const auto pos = static_cast<std::uint32_t>(status.dwReturn);
        e.minutes = static_cast<int>((pos >> 8) & 0xFF);
        e.seconds = static_cast<int>((pos >> 16) & 0xFF);
        e.fraction =
            length > 0 ? static_cast<float>(60 * e.minutes + e.seconds) / static_cast<float>(length)
                       : 0.0f;
    } else {
        double t = playerPosition;
        if (t == -1.0 || !(t > 0.0)) {
            t = 0.0;
        }
        e.minutes = static_cast<int>(std::min(t * (1.0 / 60.0), 1e6));
        e.seconds = static_cast<int>(std::fmod(std::trunc(t), 60.0));
        // A length of 0 leaves the bar at its start.
        e.fraction = f.m_dLength > 0.0 ? static_cast<float>(t / f.m_dLength) : 0.0f;
    }
    e.fraction = std::clamp(e.fraction, 0.0f, 1.0f);
    return e;
}

void CMainFrame::OnTimer(UINT) {
    if (m_bCheckAudioCd) {
        m_playback.DetectAudioCd(*this);
    }

    const ElapsedTime e = ComputeElapsedTime(
        *this, m_mci, m_nPlayState != 0 && !m_bCdMode ? m_playback.PlayerPosition(*this) : 0.0);
    // The display has two digits each: past 99 minutes it stays at 99:59.
    const int m = e.minutes > 99 ? 99 : e.minutes;
    const int s = e.minutes > 99 ? 59 : e.seconds;
    m_skin.DrawDigit(m_rcTimeDigits[0], s % 10, 0);
    m_skin.DrawDigit(m_rcTimeDigits[1], s / 10, 0);
    m_skin.DrawDigit(m_rcTimeDigits[2], m % 10, 0);
    m_skin.DrawDigit(m_rcTimeDigits[3], m / 10, 0);
    if (!m_skin.IsSliderPressed(ID_SEEKING_BAR)) {
        m_skin.SetSliderFraction(ID_SEEKING_BAR, e.fraction);
    }

    m_recorder.ShowRecordTime(*this);
    DrawTitle();
    if (!m_skin.IsSliderPressed(ID_PLAYLIST_SCROLLBAR)) {
        DrawPlaylistText();
    }
    if (m_bSkinChanged) {
        m_bSkinChanged = 0;
        m_host.InvalidateRect(&m_rcMedia);
    }
    if (m_pToolTip) {
        m_host.ActivateTooltips(true);
    }
}

} // namespace mixora
