#pragma once
// Seams that do nothing, so a benchmark measures only the core's own work.
#include "app/playback_operations.h"
#include "app/recorder_operations.h"
#include "device/effect_operations.h"
#include "platform/launcher.h"
#include "platform/mci.h"
#include "platform/message_box.h"
#include "platform/private_profile.h"
#include "platform/system_info.h"
#include "platform/text_rasterizer.h"
#include "platform/window_host.h"

namespace mixora::bench {

class NullHost final : public IWindowHost {
public:
    bool Create(const CREATESTRUCT&, IWindowProc& proc) override {
        return proc.WindowProc(WM_CREATE, 0, 0) == 0;
    }
    void PostMessage(UINT, WPARAM, LPARAM) override {}
    UINT SetTimer(UINT id, UINT) override { return id; }
    bool KillTimer(UINT) override { return true; }
    void ShowWindow(int) override {}
    void UpdateWindow() override {}
    void DestroyWindow() override {}
    void SetClientSize(int, int) override {}
    void SetWindowRgn(std::span<const RECT>, bool) override {}
    void SetSurface(const std::uint32_t*, int, int) override {}
    void InvalidateRect(const RECT*) override {}
    POINT ClientToScreen(POINT p) override { return p; }
    void TrackPopupMenu(const std::vector<MenuItem>&, POINT) override {}
    void SetCapture() override {}
    void ReleaseCapture() override {}
    void BeginWindowMove() override {}
    void SetTools(const std::vector<ToolInfo>&) override {}
    void ActivateTooltips(bool) override {}
};

class NullProfile final : public IPrivateProfile {
public:
    int GetInt(const std::string&, const std::string&, int def, const std::string&) override {
        return def;
    }
    std::string GetString(const std::string&, const std::string&, const std::string& def,
                          std::size_t, const std::string&) override {
        return def;
    }
    bool WriteString(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {
        return true;
    }
};

class NullMci final : public IMci {
public:
    std::uint32_t SendCommand(std::uint32_t, std::uint32_t, std::uint32_t, void*) override {
        return 0;
    }
};

class FixedSystem final : public ISystemInfo {
public:
    std::string ModuleFileName() override { return "/nonexistent/mixora"; }
    std::string WindowsDirectory() override { return "/nonexistent"; }
    std::uint16_t UserDefaultUILanguage() override { return 0x0409; }
    std::vector<std::string> SkinFolders() override { return {"/nonexistent"}; }
};

class NullMessages final : public IMessageBox {
public:
    int MessageBox(const std::string&, const std::string&, unsigned) override { return IDOK; }
};

class NullLauncher final : public IProgramLauncher {
public:
    bool IsInstalled(const std::string&) override { return false; }
    bool Launch(const std::vector<std::string>&) override { return false; }
};

class NullText final : public ITextRasterizer {
public:
    void DrawText(SurfaceView, const RECT&, int, int, const std::string&, int, std::uint32_t, bool,
                  std::uint32_t) override {}
};

// No effect device and no mixer: every request fails as on a machine without them.
class NullEffects final : public IEffectOperations {
public:
    bool OpenMixer(CDeviceWindow&) override { return false; }
    void CloseMixer() override {}
    void DetectEffectDevice(CDeviceWindow&) override {}
    bool ReadEffectState(CDeviceWindow&) override { return true; }
    void ChooseLanguageTable(ProgramRecords&) override {}
    void ShowEqualizer(CDeviceWindow&) override {}
    void SetPresetDialogsOwner(CDeviceWindow&) override {}
    void ShowEnvMenu(CDeviceWindow&, int) override {}
    void SelectEnvironment(CDeviceWindow&, std::uint32_t) override {}
    bool EnsureDevice() override { return false; }
    bool SetVoiceCancel(int) override { return false; }
    bool SetPitchShift(int) override { return false; }
    void ReleaseDevice() override {}
    bool SetEqProperty(int, std::span<const std::uint8_t>) override { return false; }
    void SetMixerVoiceCancel(CDeviceWindow&) override {}
    void SetMixerKeyShift(CDeviceWindow&) override {}
    void ShowEqMenu(CDeviceWindow&, int) override {}
    void RunLoadPresetDialog() override {}
    void RunSavePresetDialog() override {}
    void RunDeletePresetDialog() override {}
};

// A recorder that records nothing.
class NullRecorder final : public IRecorderOperations {
public:
    void StartRecording(CMainFrame&) override {}
    void StopRecorder(CMainFrame&) override {}
    void PlayRecording(CMainFrame&) override {}
    void SaveRecordedData(CMainFrame&) override {}
    void RunRecordFormatDialog(CMainFrame&) override {}
    void ShowRecordTime(CMainFrame&) override {}
    bool CancelClose(CMainFrame&, bool) override { return false; }
    void RescueUnsavedRecording(CMainFrame&) override {}
};

// Playback that does nothing.
class NullPlayback : public IPlaybackOperations {
public:
    void PlayPause(CMainFrame&) override {}
    void StopPlayback(CMainFrame&) override {}
    void NextTrack(CMainFrame&) override {}
    void PreviousTrack(CMainFrame&) override {}
    void ApplyMute(CMainFrame&) override {}
    void ApplyVolume(CMainFrame&) override {}
    void StepForward(CMainFrame&) override {}
    void StepBackward(CMainFrame&) override {}
    void SeekToBar(CMainFrame&) override {}
    void OpenMediaFiles(CMainFrame&) override {}
    void AddFilesToPlaylist(CMainFrame&) override {}
    void OpenPaths(CMainFrame&, std::vector<std::string>) override {}
    void AddPaths(CMainFrame&, std::vector<std::string>) override {}
    void RemoveMarkedEntry(CMainFrame&) override {}
    void ClearPlaylist(CMainFrame&) override {}
    void LoadPlaylistFile(CMainFrame&) override {}
    void SavePlaylistFile(CMainFrame&) override {}
    void ScrollPlaylistFromBar(CMainFrame&) override {}
    void PausePlayback(CMainFrame&) override {}
    void PlayCurrent(CMainFrame&) override {}
    void AdvanceAfterTrackEnd(CMainFrame&) override {}
    void DetectAudioCd(CMainFrame&) override {}
    double PlayerPosition(CMainFrame&) override { return 0.0; }
};

} // namespace mixora::bench
