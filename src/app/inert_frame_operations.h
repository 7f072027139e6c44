#pragma once
#include "app/frame_operations.h"

namespace mixora {

// The frame's operations while the subsystems behind them are not built yet:
// each is called at its place in the window's life and changes nothing.
// Subsystems take their calls over one by one as they arrive.
class CInertFrameOperations : public IFrameOperations {
public:
    bool OpenMixer(CMainFrame&) override { return false; }
    void CloseMixer() override {}
    void InitCommonControls() override {}
    void DetectEffectDevice(CMainFrame&) override {}
    bool ReadEffectState(CMainFrame&) override { return true; }
    void ChooseLanguageTable(ProgramRecords&) override {}
    void ShowEqualizer(CMainFrame&) override {}
    void SetPresetDialogsOwner(CMainFrame&) override {}
    void PausePlayback(CMainFrame&) override {}
    void PlayCurrent(CMainFrame&) override {}
    void AdvanceAfterTrackEnd(CMainFrame&) override {}
    void DetectAudioCd(CMainFrame&) override {}
    double PlayerPosition(CMainFrame&) override { return 0.0; }
    void ShowRecordTime(CMainFrame&) override {}
};

} // namespace mixora
