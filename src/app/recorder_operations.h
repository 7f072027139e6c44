#pragma once
// What the window asks of the wave recorder. Every call is on the UI thread;
// the dialogs run modally.
namespace mixora {

class CMainFrame;

class IRecorderOperations {
public:
    virtual ~IRecorderOperations() = default;

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
    // Each tick of timer 1: the recorder's time display.
    virtual void ShowRecordTime(CMainFrame& frame) = 0;
    // The window is asked to close; true keeps it open. Only with `canAsk`
    // may the person be asked anything (not when a signal ends the program).
    virtual bool CancelClose(CMainFrame& frame, bool canAsk) = 0;
    // The window is being destroyed, before the recorder's device closes: a
    // recording nobody saved is kept on disk.
    virtual void RescueUnsavedRecording(CMainFrame& frame) = 0;
};

} // namespace mixora
