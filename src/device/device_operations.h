#pragma once
// The device subsystem behind the window's seams: the mixer, the effect
// device's property channel, the equalizer with its presets and the
// environments. What belongs to playback and the recorder stays inert.
#include "app/frame_operations.h"
#include "app/inert_command_operations.h"

namespace mixora {

class CEnvironmentEffects;
class CEqualizerOperations;
class CMixerControl;
class CPropertyChannel;
class IResourceModule;
class ISystemInfo;

class CDeviceFrameOperations final : public IFrameOperations {
public:
    // `system` tells the user's language; `resources` hold the language
    // tables and must outlive the program's records.
    CDeviceFrameOperations(CMixerControl& mixer, CPropertyChannel& channel,
                           CEqualizerOperations& equalizer, ISystemInfo& system,
                           const IResourceModule& resources)
        : mixer_(mixer), channel_(channel), equalizer_(equalizer), system_(system),
          resources_(resources) {}

    bool OpenMixer(CMainFrame& frame) override;
    void CloseMixer() override;
    void InitCommonControls() override {}
    void DetectEffectDevice(CMainFrame& frame) override;
    bool ReadEffectState(CMainFrame& frame) override;
    void ChooseLanguageTable(ProgramRecords& records) override;
    void ShowEqualizer(CMainFrame& frame) override;
    void SetPresetDialogsOwner(CMainFrame& frame) override;
    // Playback, CD detection and the recorder arrive with their own work.
    void PausePlayback(CMainFrame&) override {}
    void PlayCurrent(CMainFrame&) override {}
    void AdvanceAfterTrackEnd(CMainFrame&) override {}
    void DetectAudioCd(CMainFrame&) override {}
    double PlayerPosition(CMainFrame&) override { return 0.0; }
    void ShowRecordTime(CMainFrame&) override {}

private:
    CMixerControl& mixer_;
    CPropertyChannel& channel_;
    CEqualizerOperations& equalizer_;
    ISystemInfo& system_;
    const IResourceModule& resources_;
};

class CDeviceCommandOperations final : public CInertCommandOperations {
public:
    CDeviceCommandOperations(CMixerControl& mixer, CPropertyChannel& channel,
                             CEqualizerOperations& equalizer, CEnvironmentEffects& environments)
        : mixer_(mixer), channel_(channel), equalizer_(equalizer), environments_(environments) {}

    // A CD track plays through the CD line: its mute and volume are the mixer's.
    void ApplyMute(CMainFrame& frame) override;
    void ApplyVolume(CMainFrame& frame) override;
    void ShowEnvMenu(CMainFrame& frame, int controlId) override;
    void SelectEnvironment(CMainFrame& frame, std::uint32_t commandId) override;
    bool EnsureDevice(CMainFrame& frame) override;
    bool SetVoiceCancel(CMainFrame& frame, int value) override;
    bool SetPitchShift(CMainFrame& frame, int value) override;
    void ReleaseDevice(CMainFrame& frame) override;
    bool SetEqProperty(CMainFrame& frame, int id, std::span<const std::uint8_t> value) override;
    void SetMixerVoiceCancel(CMainFrame& frame) override;
    void SetMixerKeyShift(CMainFrame& frame) override;
    void ShowEqMenu(CMainFrame& frame, int controlId) override;
    void RunLoadPresetDialog(CMainFrame& frame) override;
    void RunSavePresetDialog(CMainFrame& frame) override;
    void RunDeletePresetDialog(CMainFrame& frame) override;

private:
    CMixerControl& mixer_;
    CPropertyChannel& channel_;
    CEqualizerOperations& equalizer_;
    CEnvironmentEffects& environments_;
};

} // namespace mixora
