#pragma once
// The one place that lists what the window can ask for but the program does
// not do yet. Each route here changes nothing; the first use of each writes
// one debugger line naming it, so a missing piece is never mistaken for a
// silent success.
#include <set>
#include <string>

#include "app/recorder_operations.h"

namespace mixora {

class IDebugOutput;

// The wave recorder.
class CRecorderNotBuilt final : public IRecorderOperations {
public:
    explicit CRecorderNotBuilt(IDebugOutput* debug = nullptr) : debug_(debug) {}
    void StartRecording(CMainFrame&) override { Say("StartRecording"); }
    void StopRecorder(CMainFrame&) override { Say("StopRecorder"); }
    void PlayRecording(CMainFrame&) override { Say("PlayRecording"); }
    void SaveRecordedData(CMainFrame&) override { Say("SaveRecordedData"); }
    void RunRecordFormatDialog(CMainFrame&) override { Say("RunRecordFormatDialog"); }
    void ShowRecordTime(CMainFrame&) override {}

private:
    void Say(const char* what);
    IDebugOutput* debug_;
    std::set<std::string> said_;
};

} // namespace mixora
