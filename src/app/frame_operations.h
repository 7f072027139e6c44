#pragma once
// Operations the main window calls during its life that belong to the other
// subsystems (mixer, effect device, language tables, skin, playback). The
// window decides when they run; these decide what they do. Every call is on
// the UI thread.
namespace mixora {

class CMainFrame;
struct ProgramRecords;

class IFrameOperations {
public:
    virtual ~IFrameOperations() = default;

    // Mixer: opened at window creation, closed at destruction. Failure to
    // open does not stop start-up.
    virtual bool OpenMixer(CMainFrame& frame) = 0;
    virtual void CloseMixer() = 0;

    // Common controls of the dialogs and tooltips.
    virtual void InitCommonControls() = 0;

    // Effect device: finds it (sets m_bDriverFound, may set m_bDsReverb) and
    // reads its karaoke state into m_bVoiceCancel and m_nKeyShift.
    virtual void DetectEffectDevice(CMainFrame& frame) = 0;
    virtual bool ReadEffectState(CMainFrame& frame) = 0;

    // Chooses the language table from the user's language (g_wLanguage).
    virtual void ChooseLanguageTable(ProgramRecords& records) = 0;

    // The driver's equalizer shown on the band sliders and its switch (a
    // step of the skin set-up).
    virtual void ShowEqualizer(CMainFrame& frame) = 0;
    // Tells the preset dialogs the window that owns them.
    virtual void SetPresetDialogsOwner(CMainFrame& frame) = 0;

    // Playback of the current entry (pause, resume/start) and what happens
    // when a track has played to its end.
    virtual void PausePlayback(CMainFrame& frame) = 0;
    virtual void PlayCurrent(CMainFrame& frame) = 0;
    virtual void AdvanceAfterTrackEnd(CMainFrame& frame) = 0;

    // What each tick of timer 1 asks of the other subsystems: look for an
    // audio CD, the player's position in seconds (0.0 without a player),
    // and the recorder's time display.
    virtual void DetectAudioCd(CMainFrame& frame) = 0;
    virtual double PlayerPosition(CMainFrame& frame) = 0;
    virtual void ShowRecordTime(CMainFrame& frame) = 0;
};

} // namespace mixora
