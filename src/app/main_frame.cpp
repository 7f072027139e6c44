#include "app/main_frame.h"

#include <algorithm>
#include <ctime>

#include "app/control_ids.h"
#include "app/playback_operations.h"
#include "app/recorder_operations.h"
#include "app/settings.h"
#include "device/effect_operations.h"
#include "device/program_records.h"
#include "platform/system_info.h"

namespace mixora {

double VolumeToSliderFraction(int volume) {
    // Single precision on purpose: 3000 * (1/3000f) rounds to exactly 1.0f.
    return static_cast<double>(static_cast<float>(volume + 3000) * 0.00033333333f);
}

CMainFrame::CMainFrame(FrameServices s)
    : m_host(s.host), m_profile(s.profile), m_system(s.system), m_mci(s.mci), m_records(s.records),
      m_resources(s.resources), m_messages(s.messages), m_launcher(s.launcher), m_text(s.text),
      m_effects(s.effects), m_playback(s.playback), m_recorder(s.recorder) {}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style = WS_POPUP | WS_SYSMENU;
    cs.hasMenu = false;
    cs.x = 300;
    cs.y = 200;
    cs.cx = 300;
    cs.cy = 300;
    // The frame's own defaults give a sunken client edge; a skinned window
    // must not have one.
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return true;
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = HandleMessage(msg, wParam, lParam);
    if (m_onMessageHandled) {
        m_onMessageHandled();
    }
    return result;
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case MM_MCINOTIFY:
        // Only the CD device's successful end of play ends the track; the
        // recorder and aborted or superseded plays report here too.
        if (wParam == MCI_NOTIFY_SUCCESSFUL && m_wCdDevice != 0 &&
            LOWORD(static_cast<std::uintptr_t>(lParam)) == m_wCdDevice) {
            OnTrackEnd();
        }
        return 0;
    case WM_MEDIA_EVENT: {
        // wParam: the control's child id and the event; lParam: its argument.
        const std::int32_t arg = static_cast<std::int32_t>(lParam);
        OnControlEvent(LOWORD(wParam), HIWORD(wParam), std::span<const std::int32_t>(&arg, 1));
        return 0;
    }
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        OnClose(lParam);
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT>(wParam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != 0);
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: {
        // Coordinates are signed 16-bit: a captured pointer left of or above
        // the window gives negative ones.
        const auto flags = static_cast<std::uint32_t>(wParam);
        const int x = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
        const int y = static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)));
        if (msg == WM_MOUSEMOVE)
            OnMouseMove(flags, x, y);
        else if (msg == WM_LBUTTONDOWN)
            OnLButtonDown(flags, x, y);
        else if (msg == WM_LBUTTONUP)
            OnLButtonUp(flags, x, y);
        else
            OnLButtonDblClk(flags, x, y);
        return 0;
    }
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(wParam, (lParam & kKeyControl) != 0);
        return 0;
    case WM_MOUSEWHEEL: {
        const int x = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
        const int y = static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam)));
        OnMouseWheel(static_cast<std::int16_t>(HIWORD(wParam)), x, y);
        return 0;
    }
    default:
        return DefWindowProc(msg, wParam, lParam);
    }
}

LRESULT CMainFrame::DefWindowProc(UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_POWERBROADCAST) {
        if (wParam == PBT_APMSUSPEND) {
            m_nPlayStateBeforeSuspend = m_nPlayState;
            // A CD plays on in the drive while the machine sleeps unless it
            // is paused; a file's stream simply stops with the machine.
            if (m_bCdMode && m_nPlayState == 2) {
                m_playback.PausePlayback(*this);
            }
        } else if (wParam == PBT_APMRESUMESUSPEND) {
            if (m_bCdMode && m_nPlayStateBeforeSuspend == 2) {
                m_playback.PlayCurrent(*this);
            }
        }
        return 1;
    }
    return 0;
}

int CMainFrame::OnCreate() {
    m_hResInstance = 1; // the program's own resources, compiled into the binary

    std::string module = m_system.ModuleFileName();
    std::size_t cut = module.find_last_of("/\\");
    m_strProgramDir = cut == std::string::npos ? std::string{} : module.substr(0, cut);

    m_nBusy = 0;
    m_effects.OpenMixer(*this);
    // Qt needs no common-control registration before dialogs and tooltips.

    m_bDsReverb = 0;
    m_effects.DetectEffectDevice(*this);
    if (m_bDriverFound && !m_effects.ReadEffectState(*this)) {
        m_host.PostMessage(WM_CLOSE, 0, 0);
    }

    // Random order draws from its own generator, seeded once per window.
    m_nRandomState = static_cast<std::uint32_t>(std::time(nullptr));

    ReadSettings(*this, m_records, m_profile, m_system.WindowsDirectory());

    m_records.g_wLanguage = 0xFFFF;
    if (m_records.g_bDetectLanguage != 0) {
        m_effects.ChooseLanguageTable(m_records);
    }

    SetUpSkin();

    if (m_bPLScrollReverse) {
        m_skin.SetSliderFraction(ID_PLAYLIST_SCROLLBAR, 1.0);
    }

    m_nTopIndex = 0;
    m_nCurrent = 0;
    m_nSelected = -1;
    m_bReload = 0;
    m_nPlayState = 0;
    m_nRecState = 0;
    m_bCdMode = 0;
    m_wCdDevice = 0;
    m_bCdPresent = 0;
    m_pPlayer.reset();

    m_nVolume = std::clamp(m_nVolume, -3000, 0);
    m_skin.SetSliderFraction(ID_VOLUME, VolumeToSliderFraction(m_nVolume));

    m_skin.SetButtonState(ID_REPEAT, m_nRepeatMode);
    m_skin.SetButtonState(ID_MUTE, m_bMute ? 1 : 0);
    m_bSkinChanged = 0;
    // A panel toggle shows state 1 while its panel is hidden.
    m_skin.SetButtonState(ID_TOGGLE_RECORDER, m_bShowRecorder == 0 ? 1 : 0);
    m_skin.SetButtonState(ID_TOGGLE_PLAYLIST, m_bShowPlaylist == 0 ? 1 : 0);
    m_skin.SetButtonState(ID_TOGGLE_EQUALIZER, m_bShowEqualizer == 0 ? 1 : 0);
    m_skin.SetButtonState(ID_VOICE_CANCEL, m_bVoiceCancel ? 1 : 0);

    m_nTimerID = m_host.SetTimer(kTimerId, kTimerElapseMs);
    return 0;
}

void CMainFrame::OnClose(LPARAM lParam) {
    if (!m_bDestroyed && !m_recorder.CancelClose(*this, lParam != kCloseWithoutAsking)) {
        m_host.DestroyWindow();
    }
}

void CMainFrame::OnDestroy() {
    if (m_bDestroyed) {
        return;
    }
    m_bDestroyed = true;

    if (m_nTimerID != 0) {
        m_host.KillTimer(m_nTimerID);
        m_nTimerID = 0;
    }
    if (m_wCdDevice != 0) {
        m_mci.SendCommand(m_wCdDevice, MCI_STOP, MCI_WAIT, nullptr);
        m_mci.SendCommand(m_wCdDevice, MCI_CLOSE, 0, nullptr);
        m_wCdDevice = 0;
    }
    m_recorder.RescueUnsavedRecording(*this);
    if (m_records.g_wRecDevice != 0) {
        m_mci.SendCommand(m_records.g_wRecDevice, MCI_CLOSE, MCI_WAIT, nullptr);
        m_records.g_wRecDevice = 0;
    }
    WriteSettings(*this, m_records, m_profile, m_system.WindowsDirectory(), m_messages);
    m_effects.CloseMixer();
    m_playlist.clear();
    m_pPlayer.reset();
    m_pToolTip.reset();
    m_records.g_instanceId.reset();
}

void CMainFrame::OnPaint() {
    m_skin.PaintSkin();
    DrawKeyLamps();
}

void CMainFrame::OnControlEvent(int controlId, int eventId, std::span<const std::int32_t> args) {
    if (controlId != kPlayerControlId) {
        return;
    }
    // Position and open-state changes (3012, 3010) need nothing from us.
    if (eventId == kPlayerEventEndOfStream && args.size() == 1) {
        OnTrackEnd();
    }
}

void CMainFrame::OnTrackEnd() {
    m_playback.AdvanceAfterTrackEnd(*this);
}

} // namespace mixora
