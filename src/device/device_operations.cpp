#include "device/device_operations.h"

#include "device/device_window.h"
#include "device/environment_effects.h"
#include "device/equalizer_operations.h"
#include "device/language_text.h"
#include "device/mixer_control.h"
#include "device/property_channel.h"

namespace mixora {

bool CDeviceOperations::OpenMixer(CDeviceWindow& window) {
    return mixer_.OpenMixer(window) != 0;
}
void CDeviceOperations::CloseMixer() {
    mixer_.CloseMixer();
}
void CDeviceOperations::ChooseLanguageTable(ProgramRecords& records) {
    mixora::ChooseLanguageTable(records, system_, resources_);
}
void CDeviceOperations::DetectEffectDevice(CDeviceWindow& window) {
    channel_.DetectEffectDevice(window);
}
bool CDeviceOperations::ReadEffectState(CDeviceWindow& window) {
    return channel_.ReadEffectState(window) != 0;
}
void CDeviceOperations::ShowEqualizer(CDeviceWindow& window) {
    equalizer_.ShowEqualizer(window);
}
void CDeviceOperations::SetPresetDialogsOwner(CDeviceWindow& window) {
    equalizer_.SetPresetDialogsOwner(window);
}
void CDeviceOperations::ShowEnvMenu(CDeviceWindow& window, int controlId) {
    environments_.ShowEnvMenu(window, controlId);
}
void CDeviceOperations::SelectEnvironment(CDeviceWindow& window, std::uint32_t commandId) {
    environments_.SelectEnvironment(window, commandId);
}
bool CDeviceOperations::EnsureDevice() {
    return channel_.EnsureDevice() != 0;
}
bool CDeviceOperations::SetVoiceCancel(int value) {
    return channel_.SetVoiceCancel(value) != 0;
}
bool CDeviceOperations::SetPitchShift(int value) {
    return channel_.SetPitchShift(value) != 0;
}
void CDeviceOperations::ReleaseDevice() {
    channel_.ReleaseDevice();
}
bool CDeviceOperations::SetEqProperty(int id, std::span<const std::uint8_t> value) {
    return equalizer_.SetEqProperty(id, value);
}
void CDeviceOperations::SetMixerVoiceCancel(CDeviceWindow& window) {
    mixer_.SetMixerVoiceCancel(window);
}
void CDeviceOperations::SetMixerKeyShift(CDeviceWindow& window) {
    mixer_.SetMixerKeyShift(window);
}
void CDeviceOperations::ShowEqMenu(CDeviceWindow& window, int controlId) {
    equalizer_.ShowEqMenu(window, controlId);
}
void CDeviceOperations::RunLoadPresetDialog() {
    equalizer_.RunLoadPresetDialog();
}
void CDeviceOperations::RunSavePresetDialog() {
    equalizer_.RunSavePresetDialog();
}
void CDeviceOperations::RunDeletePresetDialog() {
    equalizer_.RunDeletePresetDialog();
}

} // namespace mixora
