#pragma once
// The main window: it owns every piece of the program's user-interface and
// audio state, and every piece of work starts as one of its messages.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "device/device_window.h"
#include "media/playback_window.h"
#include "platform/accessible_window.h"
#include "platform/mci.h"
#include "platform/messages.h"
#include "platform/window_host.h"
#include "recorder/recorder_window.h"
#include "skin/region.h"
#include "skin/skin.h"

namespace mixora {

class IEffectOperations;
class IPlaybackOperations;
class IRecorderOperations;
class ITextRasterizer;
class IMessageBox;
class IProgramLauncher;
class IResourceModule;
class IPrivateProfile;
class ISystemInfo;
struct ProgramRecords;

// The tooltip control; it arrives with the subsystem that creates it and is
// only owned here.
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
    ProgramRecords& records;
    // The program's own resources (base skin, texts).
    const IResourceModule& resources;
    IMessageBox& messages;
    IProgramLauncher& launcher;
    ITextRasterizer& text;
    // The rooms the window's commands and life reach.
    IEffectOperations& effects;
    IPlaybackOperations& playback;
    IRecorderOperations& recorder;
};

// Panels that can be hidden, and the skin menu's commands.
enum class Panel { Recorder, Playlist, Equalizer };
inline constexpr std::uint32_t ID_BASE_SKIN = 62999;
inline constexpr std::uint32_t ID_FIRST_SKIN_PACKAGE = 63000;
inline constexpr std::uint32_t ID_LAST_SKIN_PACKAGE = 63999;

// Identifier of timer 1 and of the media control's child window.
inline constexpr UINT kTimerId = 1;
inline constexpr UINT kTimerElapseMs = 333;
inline constexpr int kPlayerControlId = 1168;
// Events of the media control.
inline constexpr int kPlayerEventEndOfStream = 3002;
inline constexpr int kPlayerEventPositionChange = 3012;
inline constexpr int kPlayerEventOpenStateChange = 3010;

class CMainFrame final : public IWindowProc,
                         public CDeviceWindow,
                         public CPlaybackWindow,
                         public CRecorderWindow,
                         public IAccessibleWindow {
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
    // `lParam` kCloseWithoutAsking: the program is being ended from outside
    // and nobody can be asked anything.
    void OnClose(LPARAM lParam = 0);
    void OnTimer(UINT id);
    bool OnCommand(WPARAM wParam, LPARAM lParam);
    // An event of a hosted control: its child-window id, the event's id and
    // its 32-bit integer arguments.
    void OnControlEvent(int controlId, int eventId, std::span<const std::int32_t> args);
    void OnTrackEnd();
    void OnPaint();
    void OnActivate(bool active);

    // Pointer messages (client coordinates; key flags with MK_LBUTTON).
    void OnMouseMove(std::uint32_t keyFlags, int x, int y);
    void OnLButtonDown(std::uint32_t keyFlags, int x, int y);
    void OnLButtonUp(std::uint32_t keyFlags, int x, int y);
    void OnLButtonDblClk(std::uint32_t keyFlags, int x, int y);
    // The keyboard and the wheel: each key posts the command of the control
    // it stands for; a wheel notch steps the slider under the pointer (the
    // playlist's scrollbar anywhere over the playlist) by a twentieth.
    void OnKeyDown(WPARAM key, bool control);
    void OnMouseWheel(int delta, int x, int y);
    // The playlist line under a point: marked by a press, played by a
    // double-click.
    void MarkLineAt(int x, int y);
    void PlayLineAt(int x, int y);

    // One tooltip per control, made anew with every skin.
    void CreateTooltips();

    // Skin set-up and switching; 0 on success, -1 when a control could not
    // be made.
    int SetUpSkin();
    void ReadSkinInfo();
    void ShowSkinMenu(int controlId);
    void SwitchSkin(std::uint32_t commandId);
    void DrawKeyLamps();

    // Texts: the two fonts sized to their rectangles, the title, the
    // visible playlist lines, and the playlist area restored and redrawn.
    void CreateFonts();
    void DrawTitle();
    void DrawPlaylistText();
    void RefreshPlaylist();

    // Panels: their regions from the second mask, the window outline for
    // the display flags, and the toggle commands.
    void BuildPanelRegions();
    void ApplyPanelShape();
    void TogglePanel(int controlId);

    // What a screen reader reads of the controls and the playlist.
    std::vector<AccessibleControl> AccessibleControls() const override;
    AccessiblePlaylist AccessibleList() const override;

    IWindowHost& Host() override { return m_host; }
    CSkin& Skin() override { return m_skin; }
    // The playback window's side of the skin.
    int GetButtonState(int id) const override { return m_skin.GetButtonState(id); }
    void SetButtonState(int id, int state) override { m_skin.SetButtonState(id, state); }
    double GetSliderFraction(int id) const override { return m_skin.GetSliderFraction(id); }
    void SetSliderFraction(int id, double f) override { m_skin.SetSliderFraction(id, f); }
    void EraseTitle() override;
    void RepaintPlaylist() override { RefreshPlaylist(); }
    void AddBusy(int delta) override { m_nBusy += delta; }
    ProgramRecords& Records() { return m_records; }

    // ---- shared state -------------------------------------------------
    UINT m_nTimerID = 0;
    std::uintptr_t m_hResInstance = 0;
    std::string m_strProgramDir;
    int m_nBusy = 0;
    int m_bCdPresent = 0;
    int m_bCheckAudioCd = 1;
    int m_bShowRecorder = 1;
    int m_bShowPlaylist = 1;
    int m_bShowEqualizer = 1;
    std::string m_strSkinFile;
    int m_nPLScrollType = 0;
    RECT m_rcPlaylist;
    RECT m_rcPlaylistLine;
    std::array<RECT, 4> m_rcTimeDigits{};
    int m_bSkinChanged = 0;
    // m_nRecState, m_recStatus and m_rcRecDigits: see CRecorderWindow.

    // From the skin's description.
    std::uint32_t m_crName = 0xDCDCDC;
    std::uint32_t m_crPlaylist = 0xFF9B78;
    std::uint32_t m_crSelected = 0x96FF96;
    std::uint32_t m_crPlaying = 0x6464FF;
    std::vector<char> m_skinInfo; // the description text as read
    std::size_t m_nSkinInfoLength = 0;
    // From the skin's mask.
    RECT m_rcTitle;
    RECT m_rcTimeColumn;
    std::array<RECT, 9> m_rcKeyLamps{};
    int m_nVisibleLines = 0;
    // Pixel heights of the title and playlist fonts (0 until made).
    int m_fontTitle = 0;
    int m_fontPlaylist = 0;
    Region m_rgnRecorder;
    Region m_rgnPlaylist;
    Region m_rgnEqualizer;

    CSkin m_skin;
    std::unique_ptr<CToolTipCtrl> m_pToolTip;
    // Runs after every message the window has handled: the desktop's view
    // of the player (D-Bus) learns of changes from here, whatever made them.
    std::function<void()> m_onMessageHandled;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    IWindowHost& m_host;
    IPrivateProfile& m_profile;
    ISystemInfo& m_system;
    IMci& m_mci;
    ProgramRecords& m_records;
    const IResourceModule& m_resources;
    IMessageBox& m_messages;
    IProgramLauncher& m_launcher;
    ITextRasterizer& m_text;
    IEffectOperations& m_effects;
    IPlaybackOperations& m_playback;
    IRecorderOperations& m_recorder;
    bool m_bDestroyed = false;
    // Wheel turns of less than a notch, kept until they add up to one.
    int m_nWheelRest = 0;
};

// The playing time and the seeking bar's place, as one tick shows them.
struct ElapsedTime {
    int minutes = 0;
    int seconds = 0;
    float fraction = 0.0f;
};
// From the play state: the CD device's position (asked through `mci`) for a
// CD track, `playerPosition` (seconds) for a file; zero while stopped.
ElapsedTime ComputeElapsedTime(const CMainFrame& frame, IMci& mci, double playerPosition);

// The volume slider's fraction for a volume of -3000..0, computed in single
// precision as the program always has, so 0 gives exactly 1.0.
double VolumeToSliderFraction(int volume);

} // namespace mixora
