#pragma once
#include "app/command_operations.h"

namespace mixora {

// The dispatcher's operations while their subsystems are not built yet: each
// changes nothing, and the device answers as one that cannot be reached.
class CInertCommandOperations : public ICommandOperations {
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
    void RemoveMarkedEntry(CMainFrame&) override {}
    void ClearPlaylist(CMainFrame&) override {}
    void LoadPlaylistFile(CMainFrame&) override {}
    void SavePlaylistFile(CMainFrame&) override {}
    void ScrollPlaylistFromBar(CMainFrame&) override {}

    void ShowEnvMenu(CMainFrame&, int) override {}
    void SelectEnvironment(CMainFrame&, std::uint32_t) override {}

    bool EnsureDevice(CMainFrame&) override { return false; }
    bool SetVoiceCancel(CMainFrame&, int) override { return false; }
    bool SetPitchShift(CMainFrame&, int) override { return false; }
    void ReleaseDevice(CMainFrame&) override {}
    bool SetEqProperty(CMainFrame&, int, std::span<const std::uint8_t>) override { return false; }

    void SetMixerVoiceCancel(CMainFrame&) override {}
    void SetMixerKeyShift(CMainFrame&) override {}

    void ShowEqMenu(CMainFrame&, int) override {}
    void RunLoadPresetDialog(CMainFrame&) override {}
    void RunSavePresetDialog(CMainFrame&) override {}
    void RunDeletePresetDialog(CMainFrame&) override {}

    void StartRecording(CMainFrame&) override {}
    void StopRecorder(CMainFrame&) override {}
    void PlayRecording(CMainFrame&) override {}
    void SaveRecordedData(CMainFrame&) override {}
    void RunRecordFormatDialog(CMainFrame&) override {}
};

} // namespace mixora
