// The dispatcher: every command of the window, from a click, a slider or a
// popup menu, becomes its change of the window's state and its operation.
// A command changes the window's own fields first and then calls the device,
// media or skin operation, so an operation always sees the new value.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

#include "app/control_ids.h"
#include "app/main_frame.h"
#include "app/playback_operations.h"
#include "app/recorder_operations.h"
#include "device/effect_operations.h"
#include "device/eq_record.h"
#include "platform/launcher.h"
#include "platform/message_box.h"

namespace mixora {
namespace {

constexpr std::uint32_t kOpenMedia = 1005;
constexpr std::uint32_t kEnvironmentMenu = 1066;
constexpr std::uint32_t kKeyUp = 1068;
constexpr std::uint32_t kKeyDown = 1069;
constexpr std::uint32_t kRecordingSource = 1073;
constexpr std::uint32_t kAddFiles = 1076;
constexpr std::uint32_t kClearPlaylist = 1078;
constexpr std::uint32_t kLoadPlaylist = 1079;
constexpr std::uint32_t kSavePlaylist = 1080;
constexpr std::uint32_t kMinimize = 1081;
constexpr std::uint32_t kSkinMenu = 1065;
constexpr std::uint32_t kEqOnOff = 1086;
constexpr std::uint32_t kEqPresetMenu = 1087;
constexpr std::uint32_t kFirstBand = 1088;
constexpr std::uint32_t kLastBand = 1097;
constexpr std::uint32_t kFirstEnvironment = 40002;
constexpr std::uint32_t kNoEnvironment = 40028;
constexpr std::uint32_t kEqReset = 32777;

constexpr int kKeyShiftLimit = 4;

constexpr const char* kChooserProgram = "pavucontrol";

// Commands that are nothing but their operation.
template <typename Ops> struct PassThrough {
    std::uint32_t id;
    void (Ops::*op)(CMainFrame&);
};
constexpr std::array<PassThrough<IPlaybackOperations>, 9> kPlaybackRows = {{
    {ID_PLAY_PAUSE, &IPlaybackOperations::PlayPause},
    {ID_STOP, &IPlaybackOperations::StopPlayback},
    {1003, &IPlaybackOperations::NextTrack},
    {1004, &IPlaybackOperations::PreviousTrack},
    {1062, &IPlaybackOperations::StepForward},
    {1064, &IPlaybackOperations::StepBackward},
    {1077, &IPlaybackOperations::RemoveMarkedEntry},
    {ID_PLAYLIST_SCROLLBAR, &IPlaybackOperations::ScrollPlaylistFromBar},
    {ID_SEEKING_BAR, &IPlaybackOperations::SeekToBar},
}};
constexpr std::array<PassThrough<IRecorderOperations>, 5> kRecorderRows = {{
    {1070, &IRecorderOperations::StartRecording},
    {1071, &IRecorderOperations::StopRecorder},
    {1072, &IRecorderOperations::PlayRecording},
    {1074, &IRecorderOperations::SaveRecordedData},
    {1075, &IRecorderOperations::RunRecordFormatDialog},
}};
struct DialogRow {
    std::uint32_t id;
    void (IEffectOperations::*op)();
};
constexpr std::array<DialogRow, 3> kPresetDialogs = {{
    {32774, &IEffectOperations::RunLoadPresetDialog},
    {32775, &IEffectOperations::RunSavePresetDialog},
    {32776, &IEffectOperations::RunDeletePresetDialog},
}};

// Commands whose operation runs a modal file dialog.
constexpr std::array<PassThrough<IPlaybackOperations>, 4> kFileDialogs = {{
    {kOpenMedia, &IPlaybackOperations::OpenMediaFiles},
    {kAddFiles, &IPlaybackOperations::AddFilesToPlaylist},
    {kLoadPlaylist, &IPlaybackOperations::LoadPlaylistFile},
    {kSavePlaylist, &IPlaybackOperations::SavePlaylistFile},
}};

// What a command may reach besides the window's public side.
struct CommandContext {
    CMainFrame& frame;
    IEffectOperations& effects;
    IPlaybackOperations& playback;
    IRecorderOperations& recorder;
    IProgramLauncher& launcher;
    IMessageBox& messages;
};

// The dialog's message loop keeps dispatching commands the pointer handling
// posted earlier; counting the dialogs lets Power refuse to close the window
// underneath one.
class BusyScope {
public:
    explicit BusyScope(CMainFrame& frame) : frame_(frame) { ++frame_.m_nBusy; }
    ~BusyScope() { --frame_.m_nBusy; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    CMainFrame& frame_;
};

// A slider's fraction, kept to its track so the value made from it stays in
// its documented range.
double TrackFraction(const CMainFrame& frame, int id) {
    return std::clamp(frame.m_skin.GetSliderFraction(id), 0.0, 1.0);
}

void CycleRepeatMode(CMainFrame& frame) {
    // A stored mode is taken as it stands; widen so the largest int cannot
    // overflow. The remainder keeps the dividend's sign.
    frame.m_nRepeatMode = static_cast<int>((static_cast<long long>(frame.m_nRepeatMode) + 1) % 4);
    frame.m_skin.SetButtonState(ID_REPEAT, frame.m_nRepeatMode);
}

void ToggleMute(CommandContext& c) {
    c.frame.m_bMute = c.frame.m_bMute == 0 ? 1 : 0;
    c.playback.ApplyMute(c.frame);
    c.frame.m_skin.SetButtonState(ID_MUTE, c.frame.m_bMute);
}

void SetVolumeFromBar(CommandContext& c) {
    c.frame.m_nVolume =
        static_cast<int>(std::trunc(TrackFraction(c.frame, ID_VOLUME) * 3000.0 - 3000.0));
    c.playback.ApplyVolume(c.frame);
}

// The device path of a karaoke command: false when the device cannot be
// reached, and then the command ends with its field changed but unshown.
template <typename Send> bool SendToDevice(CommandContext& c, Send send) {
    if (!c.effects.EnsureDevice()) {
        return false;
    }
    send();
    c.effects.ReleaseDevice();
    return true;
}

void ToggleVoiceCancel(CommandContext& c) {
    CMainFrame& f = c.frame;
    f.m_bVoiceCancel = f.m_bVoiceCancel == 0 ? 1 : 0;
    if (f.m_bDriverFound) {
        if (!SendToDevice(c, [&] { c.effects.SetVoiceCancel(f.m_bVoiceCancel); })) {
            return;
        }
    } else {
        c.effects.SetMixerVoiceCancel(f);
    }
    f.m_skin.SetButtonState(ID_VOICE_CANCEL, f.m_bVoiceCancel ? 1 : 0);
}

// At the limit the shift stays, but is still sent and redrawn. A key the
// driver refuses is not playing, so neither the field nor the lamps take it.
void ShiftKey(CommandContext& c, int step) {
    CMainFrame& f = c.frame;
    const int before = f.m_nKeyShift;
    f.m_nKeyShift = std::clamp(f.m_nKeyShift + step, -kKeyShiftLimit, kKeyShiftLimit);
    if (f.m_bDriverFound) {
        bool taken = false;
        if (!SendToDevice(c, [&] { taken = c.effects.SetPitchShift(f.m_nKeyShift); })) {
            return;
        }
        if (!taken) {
            f.m_nKeyShift = before;
            return;
        }
    } else {
        c.effects.SetMixerKeyShift(f);
    }
    f.DrawKeyLamps();
}

// The button shows the equalizer's present state: 0 off, so a press turns
// it on, and 1 on, so a press turns it off. A failed send leaves the record
// and the button changed; the next send carries the whole record again.
void ToggleEqualizer(CommandContext& c) {
    CMainFrame& f = c.frame;
    const int state = f.m_skin.GetButtonState(static_cast<int>(kEqOnOff));
    if (state != 0 && state != 1) {
        return;
    }
    const std::uint32_t mask = state == 0 ? kEqMaskOn : 0;
    SetEqMask(f.m_eq, mask);
    c.effects.SetEqProperty(kEqRecordId, f.m_eq);
    f.m_skin.SetButtonState(static_cast<int>(kEqOnOff), mask != 0 ? 1 : 0);
}

void SetEqBand(CommandContext& c, std::uint32_t id) {
    CMainFrame& f = c.frame;
    const auto band = static_cast<int>(id - kFirstBand);
    SetEqGain(f.m_eq, band, GainFromSliderFraction(TrackFraction(f, static_cast<int>(id))));
    c.effects.SetEqProperty(
        static_cast<int>(kEqBandIds[static_cast<std::size_t>(band)]),
        std::span(f.m_eq).subspan(kEqGainOffsets[static_cast<std::size_t>(band)], 4));
}

// Flat and off; the panel then shows what the device really holds.
void ResetEqualizer(CommandContext& c) {
    CMainFrame& f = c.frame;
    SetEqMask(f.m_eq, 0);
    for (int band = 0; band < kEqBandCount; ++band) {
        SetEqGain(f.m_eq, band, 0);
    }
    c.effects.SetEqProperty(kEqRecordId, f.m_eq);
    c.effects.ShowEqualizer(f);
}

// The desktop's chooser of the recording source. While Mixora records, its
// own stream is on pavucontrol's Recording tab (2), where its source can be
// switched at once; otherwise the Input Devices tab (4) sets the default
// source and port the next recording starts from.
void ChooseRecordingSource(CommandContext& c) {
    if (!c.launcher.IsInstalled(kChooserProgram)) {
        c.messages.MessageBox("No recording-source chooser was found. Install pavucontrol to "
                              "choose the recording source.",
                              "Mixora", MB_OK | MB_ICONINFORMATION);
    } else if (!c.launcher.Launch(
                   {kChooserProgram, c.frame.m_nRecState == 3 ? "--tab=2" : "--tab=4"})) {
        c.messages.MessageBox("The recording-source chooser (pavucontrol) could not be started.",
                              "Mixora", MB_OK | MB_ICONWARNING);
    }
}

void PowerOff(CMainFrame& frame) {
    if (frame.m_nBusy == 0) {
        frame.Host().PostMessage(WM_CLOSE, 0, 0);
    }
}

bool RunTableRow(CommandContext& c, std::uint32_t id) {
    for (const auto& row : kPlaybackRows) {
        if (row.id == id) {
            (c.playback.*row.op)(c.frame);
            return true;
        }
    }
    for (const auto& row : kRecorderRows) {
        if (row.id == id) {
            (c.recorder.*row.op)(c.frame);
            return true;
        }
    }
    for (const DialogRow& row : kPresetDialogs) {
        if (row.id == id) {
            (c.effects.*row.op)();
            return true;
        }
    }
    for (const auto& row : kFileDialogs) {
        if (row.id == id) {
            BusyScope busy(c.frame);
            (c.playback.*row.op)(c.frame);
            return true;
        }
    }
    return false;
}

// Every command with a row of its own; false when the id has none.
bool RunCommand(CommandContext& c, std::uint32_t id) {
    CMainFrame& f = c.frame;
    if (RunTableRow(c, id)) {
        return true;
    }
    if (id >= kFirstBand && id <= kLastBand) {
        SetEqBand(c, id);
    } else if (id >= kFirstEnvironment && id <= kNoEnvironment) {
        c.effects.SelectEnvironment(f, id);
    } else if (id >= ID_BASE_SKIN && id <= ID_LAST_SKIN_PACKAGE) {
        f.SwitchSkin(id);
        // The next tick repaints the media area over the new skin.
        f.m_bSkinChanged = 1;
    } else {
        switch (id) {
        case ID_REPEAT:
            CycleRepeatMode(f);
            break;
        case ID_MUTE:
            ToggleMute(c);
            break;
        case ID_VOLUME:
            SetVolumeFromBar(c);
            break;
        case kSkinMenu:
            f.ShowSkinMenu(static_cast<int>(id));
            break;
        case kEnvironmentMenu:
            c.effects.ShowEnvMenu(f, static_cast<int>(id));
            break;
        case ID_VOICE_CANCEL:
            ToggleVoiceCancel(c);
            break;
        case kKeyUp:
            ShiftKey(c, +1);
            break;
        case kKeyDown:
            ShiftKey(c, -1);
            break;
        case kRecordingSource:
            ChooseRecordingSource(c);
            break;
        case kClearPlaylist: {
            BusyScope busy(f);
            c.playback.ClearPlaylist(f);
            // Also for a list that was already empty: the display catches up.
            f.m_bReload = 1;
            break;
        }
        case kMinimize:
            f.Host().ShowWindow(SW_MINIMIZE);
            break;
        case ID_POWER:
            PowerOff(f);
            break;
        case ID_TOGGLE_RECORDER:
        case ID_TOGGLE_PLAYLIST:
        case ID_TOGGLE_EQUALIZER:
            f.TogglePanel(static_cast<int>(id));
            break;
        case kEqOnOff:
            ToggleEqualizer(c);
            break;
        case kEqPresetMenu:
            c.effects.ShowEqMenu(f, static_cast<int>(id));
            break;
        case kEqReset:
            ResetEqualizer(c);
            break;
        default:
            return false;
        }
    }
    return true;
}

} // namespace

// Returns true when the command had a handler here; ids of no control
// (1009..1061, 1063, ...) change nothing and return false.
bool CMainFrame::OnCommand(WPARAM wParam, LPARAM) {
    // The whole command word is compared: an id with anything in its high
    // half is none of ours.
    if (wParam > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    CommandContext context{*this, m_effects, m_playback, m_recorder, m_launcher, m_messages};
    return RunCommand(context, static_cast<std::uint32_t>(wParam));
}

} // namespace mixora
