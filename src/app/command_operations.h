#pragma once
// Operations the dispatcher reaches that belong to playback, the playlist,
// track sequencing, the effect device, the mixer, environments, the
// equalizer and the recorder. The dispatcher has already changed the
// window's own fields (mute, volume, key shift, voice cancel, the equalizer
// record) when it calls one; the operation carries the change to the device,
// media or dialog. Every call is on the UI thread; the ones that run a modal
// dialog or menu block until it closes, and the window's message loop keeps
// dispatching commands meanwhile.
#include <cstdint>
#include <span>

namespace mixora {

class CMainFrame;

class ICommandOperations {
public:
    virtual ~ICommandOperations() = default;

    // ---- playback and track sequencing ---------------------------------
    // Resumes, starts (a random entry first in random order) or pauses, by
    // the state of the Play / Pause button.
    virtual void PlayPause(CMainFrame& frame) = 0;
    // Stops playback of the current entry.
    virtual void StopPlayback(CMainFrame& frame) = 0;
    // Moves to the next entry of the list (by the repeat mode) and plays it.
    virtual void NextTrack(CMainFrame& frame) = 0;
    // Moves to the previous entry of the list (by the repeat mode) and plays it.
    virtual void PreviousTrack(CMainFrame& frame) = 0;
    // Puts m_bMute on the player control, when one exists, and on the CD
    // line in CD mode.
    virtual void ApplyMute(CMainFrame& frame) = 0;
    // Puts m_nVolume (-3000..0) on the player control, when one exists, and
    // on the CD line in CD mode.
    virtual void ApplyVolume(CMainFrame& frame) = 0;
    // Jumps forward: 20 seconds on a CD track, a tenth of the length on a file.
    virtual void StepForward(CMainFrame& frame) = 0;
    // Jumps backward by the same amount.
    virtual void StepBackward(CMainFrame& frame) = 0;
    // Jumps to the position of the seeking bar.
    virtual void SeekToBar(CMainFrame& frame) = 0;

    // ---- playlist -------------------------------------------------------
    // Open-file dialog; the chosen files replace the list and play.
    virtual void OpenMediaFiles(CMainFrame& frame) = 0;
    // Open-file dialog; the chosen files are appended to the list.
    virtual void AddFilesToPlaylist(CMainFrame& frame) = 0;
    // Removes the marked entry from the list.
    virtual void RemoveMarkedEntry(CMainFrame& frame) = 0;
    // Empties the list (asking first when it is not empty).
    virtual void ClearPlaylist(CMainFrame& frame) = 0;
    // Open-file dialog for a playlist file, then reads it into the list.
    virtual void LoadPlaylistFile(CMainFrame& frame) = 0;
    // Save-file dialog, then writes the list as a playlist file.
    virtual void SavePlaylistFile(CMainFrame& frame) = 0;
    // Sets the first visible line from the playlist scrollbar.
    virtual void ScrollPlaylistFromBar(CMainFrame& frame) = 0;

    // ---- environments ---------------------------------------------------
    // Pops the environment menu up at the control; the choice comes back as
    // a command 40002..40028.
    virtual void ShowEnvMenu(CMainFrame& frame, int controlId) = 0;
    // Applies an environment menu choice, 40002..40027 or 40028 (none).
    virtual void SelectEnvironment(CMainFrame& frame, std::uint32_t commandId) = 0;

    // ---- effect device (karaoke) ----------------------------------------
    // Finds the effect device unless it is already held; false when it
    // cannot be reached.
    virtual bool EnsureDevice(CMainFrame& frame) = 0;
    // Voice cancellation on the device, 0 or 1; false on failure.
    virtual bool SetVoiceCancel(CMainFrame& frame, int value) = 0;
    // Key shift on the device, -4..4; false on failure.
    virtual bool SetPitchShift(CMainFrame& frame, int value) = 0;
    // Lets go of the device found by EnsureDevice.
    virtual void ReleaseDevice(CMainFrame& frame) = 0;
    // Sets equalizer property `id` from `value` (the whole record for 39,
    // one little-endian 32-bit gain for a single band); false on failure.
    virtual bool SetEqProperty(CMainFrame& frame, int id, std::span<const std::uint8_t> value) = 0;

    // ---- mixer (machines without the effect device) ---------------------
    // Writes m_bVoiceCancel to the mixer's voice-cancel switch.
    virtual void SetMixerVoiceCancel(CMainFrame& frame) = 0;
    // Writes m_nKeyShift to the mixer's key-shift fader.
    virtual void SetMixerKeyShift(CMainFrame& frame) = 0;

    // ---- equalizer presets ----------------------------------------------
    // Pops the preset menu up at the control; the choice comes back as a
    // command 32774..32777.
    virtual void ShowEqMenu(CMainFrame& frame, int controlId) = 0;
    // The Load, Save and Delete Preset dialogs, run modally.
    virtual void RunLoadPresetDialog(CMainFrame& frame) = 0;
    virtual void RunSavePresetDialog(CMainFrame& frame) = 0;
    virtual void RunDeletePresetDialog(CMainFrame& frame) = 0;

    // ---- recorder -------------------------------------------------------
    // Starts (or continues) recording from the chosen source.
    virtual void StartRecording(CMainFrame& frame) = 0;
    // Stops recording or playback of the recording.
    virtual void StopRecorder(CMainFrame& frame) = 0;
    // Plays the recording back.
    virtual void PlayRecording(CMainFrame& frame) = 0;
    // When a non-empty recording exists: save-file dialog for a wave file,
    // then saves the recording there.
    virtual void SaveRecordedData(CMainFrame& frame) = 0;
    // The recording format dialog, run modally.
    virtual void RunRecordFormatDialog(CMainFrame& frame) = 0;
};

} // namespace mixora
