#pragma once
// GoogleMock stand-ins for the seams the main window talks through.
#include <gmock/gmock.h>

#include "app/playback_operations.h"
#include "app/recorder_operations.h"
#include "device/effect_operations.h"
#include "platform/mci.h"
#include "platform/private_profile.h"
#include "platform/system_info.h"
#include "platform/window_host.h"

namespace mixora {

class MockWindowHost : public IWindowHost {
public:
    MOCK_METHOD(bool, Create, (const CREATESTRUCT&, IWindowProc&), (override));
    MOCK_METHOD(void, PostMessage, (UINT, WPARAM, LPARAM), (override));
    MOCK_METHOD(UINT, SetTimer, (UINT, UINT), (override));
    MOCK_METHOD(bool, KillTimer, (UINT), (override));
    MOCK_METHOD(void, ShowWindow, (int), (override));
    MOCK_METHOD(void, UpdateWindow, (), (override));
    MOCK_METHOD(void, DestroyWindow, (), (override));
    MOCK_METHOD(void, SetClientSize, (int, int), (override));
    MOCK_METHOD(void, SetWindowRgn, (std::span<const RECT>, bool), (override));
    MOCK_METHOD(void, SetSurface, (const std::uint32_t*, int, int), (override));
    MOCK_METHOD(void, InvalidateRect, (const RECT*), (override));
    MOCK_METHOD(POINT, ClientToScreen, (POINT), (override));
    MOCK_METHOD(void, TrackPopupMenu, (const std::vector<MenuItem>&, POINT), (override));
    MOCK_METHOD(void, SetCapture, (), (override));
    MOCK_METHOD(void, ReleaseCapture, (), (override));
    MOCK_METHOD(void, BeginWindowMove, (), (override));
    MOCK_METHOD(void, SetTools, (const std::vector<ToolInfo>&), (override));
    MOCK_METHOD(void, ActivateTooltips, (bool), (override));
};

class MockEffectOperations : public IEffectOperations {
public:
    MOCK_METHOD(bool, OpenMixer, (CDeviceWindow&), (override));
    MOCK_METHOD(void, CloseMixer, (), (override));
    MOCK_METHOD(void, DetectEffectDevice, (CDeviceWindow&), (override));
    MOCK_METHOD(bool, ReadEffectState, (CDeviceWindow&), (override));
    MOCK_METHOD(void, ChooseLanguageTable, (ProgramRecords&), (override));
    MOCK_METHOD(void, ShowEqualizer, (CDeviceWindow&), (override));
    MOCK_METHOD(void, SetPresetDialogsOwner, (CDeviceWindow&), (override));
    MOCK_METHOD(void, ShowEnvMenu, (CDeviceWindow&, int), (override));
    MOCK_METHOD(void, SelectEnvironment, (CDeviceWindow&, std::uint32_t), (override));
    MOCK_METHOD(bool, EnsureDevice, (), (override));
    MOCK_METHOD(bool, SetVoiceCancel, (int), (override));
    MOCK_METHOD(bool, SetPitchShift, (int), (override));
    MOCK_METHOD(void, ReleaseDevice, (), (override));
    MOCK_METHOD(bool, SetEqProperty, (int, std::span<const std::uint8_t>), (override));
    MOCK_METHOD(void, SetMixerVoiceCancel, (CDeviceWindow&), (override));
    MOCK_METHOD(void, SetMixerKeyShift, (CDeviceWindow&), (override));
    MOCK_METHOD(void, ShowEqMenu, (CDeviceWindow&, int), (override));
    MOCK_METHOD(void, RunLoadPresetDialog, (), (override));
    MOCK_METHOD(void, RunSavePresetDialog, (), (override));
    MOCK_METHOD(void, RunDeletePresetDialog, (), (override));
};

class MockPlaybackOperations : public IPlaybackOperations {
public:
    MOCK_METHOD(void, PlayPause, (CMainFrame&), (override));
    MOCK_METHOD(void, StopPlayback, (CMainFrame&), (override));
    MOCK_METHOD(void, NextTrack, (CMainFrame&), (override));
    MOCK_METHOD(void, PreviousTrack, (CMainFrame&), (override));
    MOCK_METHOD(void, ApplyMute, (CMainFrame&), (override));
    MOCK_METHOD(void, ApplyVolume, (CMainFrame&), (override));
    MOCK_METHOD(void, StepForward, (CMainFrame&), (override));
    MOCK_METHOD(void, StepBackward, (CMainFrame&), (override));
    MOCK_METHOD(void, SeekToBar, (CMainFrame&), (override));
    MOCK_METHOD(void, OpenMediaFiles, (CMainFrame&), (override));
    MOCK_METHOD(void, AddFilesToPlaylist, (CMainFrame&), (override));
    MOCK_METHOD(void, OpenPaths, (CMainFrame&, std::vector<std::string>), (override));
    MOCK_METHOD(void, AddPaths, (CMainFrame&, std::vector<std::string>), (override));
    MOCK_METHOD(void, RemoveMarkedEntry, (CMainFrame&), (override));
    MOCK_METHOD(void, ClearPlaylist, (CMainFrame&), (override));
    MOCK_METHOD(void, LoadPlaylistFile, (CMainFrame&), (override));
    MOCK_METHOD(void, SavePlaylistFile, (CMainFrame&), (override));
    MOCK_METHOD(void, ScrollPlaylistFromBar, (CMainFrame&), (override));
    MOCK_METHOD(void, PausePlayback, (CMainFrame&), (override));
    MOCK_METHOD(void, PlayCurrent, (CMainFrame&), (override));
    MOCK_METHOD(void, AdvanceAfterTrackEnd, (CMainFrame&), (override));
    MOCK_METHOD(void, DetectAudioCd, (CMainFrame&), (override));
    MOCK_METHOD(double, PlayerPosition, (CMainFrame&), (override));
};

class MockRecorderOperations : public IRecorderOperations {
public:
    MOCK_METHOD(void, StartRecording, (CMainFrame&), (override));
    MOCK_METHOD(void, StopRecorder, (CMainFrame&), (override));
    MOCK_METHOD(void, PlayRecording, (CMainFrame&), (override));
    MOCK_METHOD(void, SaveRecordedData, (CMainFrame&), (override));
    MOCK_METHOD(void, RunRecordFormatDialog, (CMainFrame&), (override));
    MOCK_METHOD(void, ShowRecordTime, (CMainFrame&), (override));
    MOCK_METHOD(bool, CancelClose, (CMainFrame&, bool), (override));
    MOCK_METHOD(void, RescueUnsavedRecording, (CMainFrame&), (override));
};

class MockMci : public IMci {
public:
    MOCK_METHOD(std::uint32_t, SendCommand, (std::uint32_t, std::uint32_t, std::uint32_t, void*),
                (override));
};

class MockPrivateProfile : public IPrivateProfile {
public:
    MOCK_METHOD(int, GetInt, (const std::string&, const std::string&, int, const std::string&),
                (override));
    MOCK_METHOD(std::string, GetString,
                (const std::string&, const std::string&, const std::string&, std::size_t,
                 const std::string&),
                (override));
    MOCK_METHOD(bool, WriteString,
                (const std::string&, const std::string&, const std::string&, const std::string&),
                (override));
};

// The program file and settings folder of a test.
class FakeSystemInfo : public ISystemInfo {
public:
    std::string module = "/opt/mixora/bin/mixora";
    std::string windowsDir;
    std::uint16_t uiLanguage = 0x0409;
    std::string ModuleFileName() override { return module; }
    std::string WindowsDirectory() override { return windowsDir; }
    std::uint16_t UserDefaultUILanguage() override { return uiLanguage; }
    // The program's own folder, unless a test lists others.
    std::vector<std::string> skinFolders;
    std::vector<std::string> SkinFolders() override {
        return skinFolders.empty() ? std::vector<std::string>{module.substr(0, module.rfind('/'))}
                                   : skinFolders;
    }
};

} // namespace mixora

#include "platform/launcher.h"
#include "platform/message_box.h"

namespace mixora {

class MockMessageBox : public IMessageBox {
public:
    MOCK_METHOD(int, MessageBox, (const std::string&, const std::string&, unsigned), (override));
};

class MockLauncher : public IProgramLauncher {
public:
    MOCK_METHOD(bool, IsInstalled, (const std::string&), (override));
    MOCK_METHOD(bool, Launch, (const std::vector<std::string>&), (override));
};

} // namespace mixora
