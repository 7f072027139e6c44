#pragma once
// The window's recorder operations, done by the wave recorder.
#include "app/recorder_operations.h"

namespace mixora {

class CWaveRecorder;

class CRecorderOperations final : public IRecorderOperations {
public:
    explicit CRecorderOperations(CWaveRecorder& recorder) : recorder_(recorder) {}

    void StartRecording(CMainFrame& frame) override;
    void StopRecorder(CMainFrame& frame) override;
    void PlayRecording(CMainFrame& frame) override;
    void SaveRecordedData(CMainFrame& frame) override;
    void RunRecordFormatDialog(CMainFrame& frame) override;
    void ShowRecordTime(CMainFrame& frame) override;
    bool CancelClose(CMainFrame& frame, bool canAsk) override;
    void RescueUnsavedRecording(CMainFrame& frame) override;

private:
    CWaveRecorder& recorder_;
};

} // namespace mixora
