#include "device/device_operations.h"

#include "app/main_frame.h"
#include "device/environment_effects.h"
#include "device/equalizer_operations.h"
#include "device/language_text.h"
#include "device/mixer_control.h"
#include "device/property_channel.h"

namespace mixora {

bool CDeviceFrameOperations::OpenMixer(CMainFrame& frame) {
    return mixer_.OpenMixer(frame) != 0;
}
void CDeviceFrameOperations::CloseMixer() {
    mixer_.CloseMixer();
}
void CDeviceFrameOperations::ChooseLanguageTable(ProgramRecords& records) {
    mixora::ChooseLanguageTable(records, system_, resources_);
}

void CDeviceFrameOperations::DetectEffectDevice(CMainFrame& frame) {
    channel_.DetectEffectDevice(frame);
}
bool CDeviceFrameOperations::ReadEffectState(CMainFrame& frame) {
    return channel_.ReadEffectState(frame) != 0;
}
void CDeviceFrameOperations::ShowEqualizer(CMainFrame& frame) {
    equalizer_.ShowEqualizer(frame);
}
void CDeviceFrameOperations::SetPresetDialogsOwner(CMainFrame& frame) {
    equalizer_.SetPresetDialogsOwner(frame);
}

void CDeviceCommandOperations::ApplyMute(CMainFrame& frame) {
    if (frame.m_bCdMode) {
        mixer_.SetCdMute(frame);
    }
}

void CDeviceCommandOperations::ApplyVolume(CMainFrame& frame) {
    if (frame.m_bCdMode) {
        mixer_.SetCdVolume(frame);
    }
}

void CDeviceCommandOperations::ShowEnvMenu(CMainFrame& frame, int controlId) {
    environments_.ShowEnvMenu(frame, controlId);
}
void CDeviceCommandOperations::SelectEnvironment(CMainFrame& frame, std::uint32_t commandId) {
    environments_.SelectEnvironment(frame, commandId);
}
bool CDeviceCommandOperations::EnsureDevice(CMainFrame&) {
    return channel_.EnsureDevice() != 0;
}
bool CDeviceCommandOperations::SetVoiceCancel(CMainFrame&, int value) {
    return channel_.SetVoiceCancel(value) != 0;
}
bool CDeviceCommandOperations::SetPitchShift(CMainFrame&, int value) {
    return channel_.SetPitchShift(value) != 0;
}
void CDeviceCommandOperations::ReleaseDevice(CMainFrame&) {
    channel_.ReleaseDevice();
}
bool CDeviceCommandOperations::SetEqProperty(CMainFrame& frame, int id,
                                             std::span<const std::uint8_t> value) {
    return equalizer_.SetEqProperty(frame, id, value);
}
void CDeviceCommandOperations::SetMixerVoiceCancel(CMainFrame& frame) {
    mixer_.SetMixerVoiceCancel(frame);
}
void CDeviceCommandOperations::SetMixerKeyShift(CMainFrame& frame) {
    mixer_.SetMixerKeyShift(frame);
}
void CDeviceCommandOperations::ShowEqMenu(CMainFrame& frame, int controlId) {
    equalizer_.ShowEqMenu(frame, controlId);
}
void CDeviceCommandOperations::RunLoadPresetDialog(CMainFrame& frame) {
    equalizer_.RunLoadPresetDialog(frame);
}
void CDeviceCommandOperations::RunSavePresetDialog(CMainFrame& frame) {
    equalizer_.RunSavePresetDialog(frame);
}
void CDeviceCommandOperations::RunDeletePresetDialog(CMainFrame& frame) {
    equalizer_.RunDeletePresetDialog(frame);
}

} // namespace mixora
