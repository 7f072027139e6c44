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

#include "app/command_operations.h"
#include "app/control_ids.h"
#include "app/frame_operations.h"
#include "app/main_frame.h"
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
constexpr int kEqRecordProperty = 39;
constexpr std::uint32_t kEqAllBands = 0x3FF;
// Where each band's gain sits in the equalizer record, and the property that
// sets that band alone. Band 1 sits 8 bytes before band 2, the rest 12 apart.
constexpr std::array<std::size_t, 10> kBandOffsets = {4, 12, 24, 36, 48, 60, 72, 84, 96, 108};
constexpr std::array<int, 10> kBandProperties = {1, 4, 8, 12, 16, 20, 24, 28, 32, 36};

constexpr const char* kChooserProgram = "pavucontrol";

using Operation = void (ICommandOperations::*)(CMainFrame&);

// Commands that are nothing but their operation.
struct PassThrough {
    std::uint32_t id;
    Operation op;
};
constexpr std::array<PassThrough, 17> kPassThrough = {{
    {ID_PLAY_PAUSE, &ICommandOperations::PlayPause},
    {ID_STOP, &ICommandOperations::StopPlayback},
    {1003, &ICommandOperations::NextTrack},
    {1004, &ICommandOperations::PreviousTrack},
    {1062, &ICommandOperations::StepForward},
    {1064, &ICommandOperations::StepBackward},
    {1070, &ICommandOperations::StartRecording},
    {1071, &ICommandOperations::StopRecorder},
    {1072, &ICommandOperations::PlayRecording},
    {1074, &ICommandOperations::SaveRecordedData},
    {1075, &ICommandOperations::RunRecordFormatDialog},
    {1077, &ICommandOperations::RemoveMarkedEntry},
    {ID_PLAYLIST_SCROLLBAR, &ICommandOperations::ScrollPlaylistFromBar},
    {ID_SEEKING_BAR, &ICommandOperations::SeekToBar},
    {32774, &ICommandOperations::RunLoadPresetDialog},
    {32775, &ICommandOperations::RunSavePresetDialog},
    {32776, &ICommandOperations::RunDeletePresetDialog},
}};

// Commands whose operation runs a modal file dialog.
constexpr std::array<PassThrough, 4> kFileDialogs = {{
    {kOpenMedia, &ICommandOperations::OpenMediaFiles},
    {kAddFiles, &ICommandOperations::AddFilesToPlaylist},
    {kLoadPlaylist, &ICommandOperations::LoadPlaylistFile},
    {kSavePlaylist, &ICommandOperations::SavePlaylistFile},
}};

// What a command may reach besides the window's public side.
struct CommandContext {
    CMainFrame& frame;
    ICommandOperations& ops;
    IFrameOperations& frameOps;
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

void PutLe32(std::span<std::uint8_t> at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

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
    c.ops.ApplyMute(c.frame);
    c.frame.m_skin.SetButtonState(ID_MUTE, c.frame.m_bMute);
}

void SetVolumeFromBar(CommandContext& c) {
    c.frame.m_nVolume =
        static_cast<int>(std::trunc(TrackFraction(c.frame, ID_VOLUME) * 3000.0 - 3000.0));
    c.ops.ApplyVolume(c.frame);
}

// The device path of a karaoke command: false when the device cannot be
// reached, and then the command ends with its field changed but unshown.
template <typename Send> bool SendToDevice(CommandContext& c, Send send) {
    if (!c.ops.EnsureDevice(c.frame)) {
        return false;
    }
    send();
    c.ops.ReleaseDevice(c.frame);
    return true;
}

void ToggleVoiceCancel(CommandContext& c) {
    CMainFrame& f = c.frame;
    f.m_bVoiceCancel = f.m_bVoiceCancel == 0 ? 1 : 0;
    if (f.m_bDriverFound) {
        if (!SendToDevice(c, [&] { c.ops.SetVoiceCancel(f, f.m_bVoiceCancel); })) {
            return;
        }
    } else {
        c.ops.SetMixerVoiceCancel(f);
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
        if (!SendToDevice(c, [&] { taken = c.ops.SetPitchShift(f, f.m_nKeyShift); })) {
            return;
        }
        if (!taken) {
            f.m_nKeyShift = before;
            return;
        }
    } else {
        c.ops.SetMixerKeyShift(f);
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
    const std::uint32_t mask = state == 0 ? kEqAllBands : 0;
    PutLe32(std::span(f.m_eq).first(4), mask);
    c.ops.SetEqProperty(f, kEqRecordProperty, f.m_eq);
    f.m_skin.SetButtonState(static_cast<int>(kEqOnOff), mask != 0 ? 1 : 0);
}

void SetEqBand(CommandContext& c, std::uint32_t id) {
    CMainFrame& f = c.frame;
    const std::size_t band = id - kFirstBand;
    const auto gain = static_cast<std::int32_t>(
        1200 - static_cast<int>(std::trunc(TrackFraction(f, static_cast<int>(id)) * 2400.0)));
    std::span<std::uint8_t> place = std::span(f.m_eq).subspan(kBandOffsets[band], 4);
    PutLe32(place, static_cast<std::uint32_t>(gain));
    c.ops.SetEqProperty(f, kBandProperties[band], place);
}

// Flat and off; the panel then shows what the device really holds.
void ResetEqualizer(CommandContext& c) {
    CMainFrame& f = c.frame;
    PutLe32(std::span(f.m_eq).first(4), 0);
    for (std::size_t offset : kBandOffsets) {
        PutLe32(std::span(f.m_eq).subspan(offset, 4), 0);
    }
    c.ops.SetEqProperty(f, kEqRecordProperty, f.m_eq);
    c.frameOps.ShowEqualizer(f);
}

// The desktop's chooser of the recording source, opened on its input tab.
void ChooseRecordingSource(CommandContext& c) {
    if (!c.launcher.IsInstalled(kChooserProgram)) {
        c.messages.MessageBox("No recording-source chooser was found. Install pavucontrol to "
                              "choose the recording source.",
                              "Mixora", MB_OK | MB_ICONINFORMATION);
    } else if (!c.launcher.Launch({kChooserProgram, "--tab=4"})) {
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
    for (const PassThrough& row : kPassThrough) {
        if (row.id == id) {
            (c.ops.*row.op)(c.frame);
            return true;
        }
    }
    for (const PassThrough& row : kFileDialogs) {
        if (row.id == id) {
            BusyScope busy(c.frame);
            (c.ops.*row.op)(c.frame);
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
        c.ops.SelectEnvironment(f, id);
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
            c.ops.ShowEnvMenu(f, static_cast<int>(id));
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
            c.ops.ClearPlaylist(f);
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
            c.ops.ShowEqMenu(f, static_cast<int>(id));
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
    CommandContext context{*this, m_commands, m_ops, m_launcher, m_messages};
    return RunCommand(context, static_cast<std::uint32_t>(wParam));
}

} // namespace mixora
