#pragma once
// The "Attribute" dialog: sample rate, sample size and channels of the next
// recording. OK opens a new recording in that format.
#include "platform/dialog_view.h"

namespace mixora {

class CRecorderWindow;
class CWaveRecorder;

class CRecordFormatDlg final : public IDialogController {
public:
    static constexpr int IDD = 140;

    CRecordFormatDlg(CWaveRecorder& recorder, CRecorderWindow& window)
        : recorder_(recorder), window_(window) {}

    // Runs the dialog modally; -1 when its template cannot be read.
    int DoModal();

    void OnInitDialog(IDialogView& view) override;
    void OnCommand(IDialogView& view, int id) override;
    void OnSelChange(IDialogView&, int) override {}

private:
    void Translate(IDialogView& view);
    void OnOK(IDialogView& view);

    CWaveRecorder& recorder_;
    CRecorderWindow& window_;
};

} // namespace mixora
