#pragma once
// The device room behind the window: the mixer, the effect device's property
// channel, the equalizer with its presets, the environments.
#include "device/effect_operations.h"

namespace mixora {

class CEnvironmentEffects;
class CEqualizerOperations;
class CMixerControl;
class CPropertyChannel;
class IResourceModule;
class ISystemInfo;

class CDeviceOperations final : public IEffectOperations {
public:
    // `system` tells the user's language; `resources` hold the language
    // tables and must outlive the program's records.
    CDeviceOperations(CMixerControl& mixer, CPropertyChannel& channel,
                      CEqualizerOperations& equalizer, CEnvironmentEffects& environments,
                      ISystemInfo& system, const IResourceModule& resources)
        : mixer_(mixer), channel_(channel), equalizer_(equalizer), environments_(environments),
          system_(system), resources_(resources) {}

    bool OpenMixer(CDeviceWindow& window) override;
    void CloseMixer() override;
    void DetectEffectDevice(CDeviceWindow& window) override;
    bool ReadEffectState(CDeviceWindow& window) override;
    void ChooseLanguageTable(ProgramRecords& records) override;
    void ShowEqualizer(CDeviceWindow& window) override;
    void SetPresetDialogsOwner(CDeviceWindow& window) override;

    void ShowEnvMenu(CDeviceWindow& window, int controlId) override;
    void SelectEnvironment(CDeviceWindow& window, std::uint32_t commandId) override;
    bool EnsureDevice() override;
    bool SetVoiceCancel(int value) override;
    bool SetPitchShift(int value) override;
    void ReleaseDevice() override;
    bool SetEqProperty(int id, std::span<const std::uint8_t> value) override;
    void SetMixerVoiceCancel(CDeviceWindow& window) override;
    void SetMixerKeyShift(CDeviceWindow& window) override;
    void ShowEqMenu(CDeviceWindow& window, int controlId) override;
    void RunLoadPresetDialog() override;
    void RunSavePresetDialog() override;
    void RunDeletePresetDialog() override;

private:
    CMixerControl& mixer_;
    CPropertyChannel& channel_;
    CEqualizerOperations& equalizer_;
    CEnvironmentEffects& environments_;
    ISystemInfo& system_;
    const IResourceModule& resources_;
};

} // namespace mixora
