#pragma once
// The main window: it owns every piece of the program's user-interface and
// audio state, and every piece of work starts as one of its messages.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "media/playlist_entry.h"
#include "platform/mci.h"
#include "platform/messages.h"
#include "platform/window_host.h"

namespace mixora {

class IFrameOperations;
class IPrivateProfile;
class ISystemInfo;
struct ProgramRecords;

// The hosted media control and the tooltip control; both arrive with the
// subsystems that create them and are only owned here.
class CMediaPlayer2 {
public:
    virtual ~CMediaPlayer2() = default;
};
class CToolTipCtrl {
public:
    virtual ~CToolTipCtrl() = default;
};

// What the window talks to. All references outlive the window.
struct FrameServices {
    IWindowHost& host;
    IPrivateProfile& profile;
    ISystemInfo& system;
    IMci& mci;
    IFrameOperations& ops;
    ProgramRecords& records;
};

// Identifier of timer 1 and of the media control's child window.
inline constexpr UINT kTimerId = 1;
inline constexpr UINT kTimerElapseMs = 333;
inline constexpr int kPlayerControlId = 1168;
// Events of the media control.
inline constexpr int kPlayerEventEndOfStream = 3002;
inline constexpr int kPlayerEventPositionChange = 3012;
inline constexpr int kPlayerEventOpenStateChange = 3010;

class CMainFrame final : public IWindowProc {
public:
    explicit CMainFrame(FrameServices services);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Fills the creation record: a popup window with a system menu, no
    // caption, border or menu, at (300, 200), 300 by 300.
    bool PreCreateWindow(CREATESTRUCT& cs);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    int OnCreate();
    void OnDestroy();
    void OnClose();
    void OnTimer(UINT id);
    bool OnCommand(WPARAM wParam, LPARAM lParam);
    // An event of a hosted control: its child-window id, the event's id and
    // its 32-bit integer arguments.
    void OnControlEvent(int controlId, int eventId, std::span<const std::int32_t> args);
    void OnTrackEnd();

    IWindowHost& Host() { return m_host; }
    ProgramRecords& Records() { return m_records; }

    // ---- shared state -------------------------------------------------
    UINT m_nTimerID = 0;
    std::uintptr_t m_hResInstance = 0;
    std::string m_strProgramDir;
    int m_nBusy = 0;
    int m_nPlayState = 0;
    int m_nPlayStateBeforeSuspend = 0;
    std::string m_strLoadedPath;
    double m_dLength = 0.0;
    int m_bCdMode = 0;
    double m_dCdPausePosition = 0.0;
    std::uint32_t m_wCdDevice = 0;
    int m_bCdPresent = 0;
    int m_bCheckAudioCd = 1;
    int m_nSelected = -1;
    int m_nCurrent = 0;
    int m_nTopIndex = 0;
    int m_bReload = 0;
    int m_nRepeatMode = 0;
    int m_bMute = 0;
    int m_nVolume = 0;
    int m_bShowRecorder = 1;
    int m_bShowPlaylist = 1;
    int m_bShowEqualizer = 1;
    std::string m_strSkinFile;
    int m_nPLScrollType = 0;
    int m_bPLScrollReverse = 0;
    RECT m_rcPlaylist;
    RECT m_rcPlaylistLine;
    std::array<RECT, 4> m_rcTimeDigits{};
    RECT m_rcMedia;
    int m_bSkinChanged = 0;
    int m_bDriverFound = 0;
    int m_bDsReverb = 0;
    int m_nEnvironment = -1;
    int m_nDsEnvironment = 0;
    int m_bVoiceCancel = 0;
    int m_nKeyShift = 0;
    std::array<std::uint8_t, 120> m_eq{};
    int m_nRecState = 0;
    MCI_STATUS_PARMS m_recStatus;

    std::vector<PlaylistEntry> m_playlist;
    std::unique_ptr<CMediaPlayer2> m_pPlayer;
    std::unique_ptr<CToolTipCtrl> m_pToolTip;

private:
    IWindowHost& m_host;
    IPrivateProfile& m_profile;
    ISystemInfo& m_system;
    IMci& m_mci;
    IFrameOperations& m_ops;
    ProgramRecords& m_records;
    bool m_bDestroyed = false;
};

// The volume slider's fraction for a volume of -3000..0, computed in single
// precision as the program always has, so 0 gives exactly 1.0.
double VolumeToSliderFraction(int volume);

} // namespace mixora
