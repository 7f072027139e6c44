#include "app/recorder_room.h"

#include "app/main_frame.h"
#include "recorder/wave_recorder.h"

namespace mixora {

void CRecorderOperations::StartRecording(CMainFrame& frame) {
    recorder_.StartRecording(frame);
}
void CRecorderOperations::StopRecorder(CMainFrame& frame) {
    recorder_.StopRecorder(frame);
}
void CRecorderOperations::PlayRecording(CMainFrame& frame) {
    recorder_.PlayRecording(frame);
}
void CRecorderOperations::SaveRecordedData(CMainFrame& frame) {
    recorder_.SaveRecordedData(frame);
}
void CRecorderOperations::RunRecordFormatDialog(CMainFrame& frame) {
    recorder_.RunRecordFormatDialog(frame);
}
void CRecorderOperations::ShowRecordTime(CMainFrame& frame) {
    recorder_.ShowRecordTime(frame);
}
bool CRecorderOperations::CancelClose(CMainFrame& frame, bool canAsk) {
    return recorder_.CancelClose(frame, canAsk);
}
void CRecorderOperations::RescueUnsavedRecording(CMainFrame& frame) {
    recorder_.RescueUnsavedRecording(frame);
}

} // namespace mixora
