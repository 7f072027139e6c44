#pragma once
// What the window asks of the device room: the mixer, the effect device's
// property channel (karaoke and equalizer), the environments, the equalizer
// presets and the language tables. The dispatcher has already changed the
// window's own fields (key shift, voice cancel, the equalizer record) when it
// calls one; the operation carries the change to the device, menu or dialog.
// Every call is on the UI thread; the ones that run a modal dialog or menu
// block until it closes, and the window's message loop keeps dispatching
// commands meanwhile.
#include <cstdint>
#include <span>

namespace mixora {

class CDeviceWindow;
struct ProgramRecords;

class IEffectOperations {
public:
    virtual ~IEffectOperations() = default;

    // ---- the window's life ----------------------------------------------
    // Mixer: opened at window creation (reads the karaoke controls into the
    // window when there is no effect device), closed at destruction. Failure
    // to open does not stop start-up.
    virtual bool OpenMixer(CDeviceWindow& window) = 0;
    virtual void CloseMixer() = 0;
    // Effect device: finds it (sets m_bDriverFound, may set m_bDsReverb) and
    // reads its karaoke state into m_bVoiceCancel and m_nKeyShift.
    virtual void DetectEffectDevice(CDeviceWindow& window) = 0;
    virtual bool ReadEffectState(CDeviceWindow& window) = 0;
    // Chooses the language table from the user's language (g_wLanguage).
    virtual void ChooseLanguageTable(ProgramRecords& records) = 0;
    // The driver's equalizer shown on the band sliders and its switch.
    virtual void ShowEqualizer(CDeviceWindow& window) = 0;
    // Tells the preset dialogs the window that owns them.
    virtual void SetPresetDialogsOwner(CDeviceWindow& window) = 0;

    // ---- environments ---------------------------------------------------
    // Pops the environment menu up at the control; the choice comes back as
    // a command 40002..40028.
    virtual void ShowEnvMenu(CDeviceWindow& window, int controlId) = 0;
    // Applies an environment menu choice, 40002..40027 or 40028 (none).
    virtual void SelectEnvironment(CDeviceWindow& window, std::uint32_t commandId) = 0;

    // ---- effect device (karaoke, equalizer) -----------------------------
    // Finds the effect device unless it is already held; false when it
    // cannot be reached.
    virtual bool EnsureDevice() = 0;
    // Voice cancellation on the device, 0 or 1; false on failure.
    virtual bool SetVoiceCancel(int value) = 0;
    // Key shift on the device, -4..4; false on failure.
    virtual bool SetPitchShift(int value) = 0;
    // Lets go of the device found by EnsureDevice.
    virtual void ReleaseDevice() = 0;
    // Sets equalizer property `id` from `value` (the whole record for 39,
    // one little-endian 32-bit gain for a single band); false on failure.
    virtual bool SetEqProperty(int id, std::span<const std::uint8_t> value) = 0;

    // ---- mixer (machines without the effect device) ---------------------
    // Writes m_bVoiceCancel to the mixer's voice-cancel switch.
    virtual void SetMixerVoiceCancel(CDeviceWindow& window) = 0;
    // Writes m_nKeyShift to the mixer's key-shift fader.
    virtual void SetMixerKeyShift(CDeviceWindow& window) = 0;

    // ---- equalizer presets ----------------------------------------------
    // Pops the preset menu up at the control; the choice comes back as a
    // command 32774..32777.
    virtual void ShowEqMenu(CDeviceWindow& window, int controlId) = 0;
    // The Load, Save and Delete Preset dialogs, run modally.
    virtual void RunLoadPresetDialog() = 0;
    virtual void RunSavePresetDialog() = 0;
    virtual void RunDeletePresetDialog() = 0;
};

} // namespace mixora
