#include "recorder/record_format_dialog.h"

#include <array>
#include <string>

#include "device/language_text.h"
#include "device/program_records.h"
#include "platform/message_box.h"
#include "recorder/record_format.h"
#include "recorder/wave_recorder.h"
#include "skin/dialog_template.h"

namespace mixora {
namespace {

constexpr const char* kSection = "RECORDER";
// Texts are read into a buffer of 15 characters, the last one the end mark.
constexpr std::size_t kTextRoom = 14;

std::string ItemText(const IDialogView& view, int id) {
    return view.GetItemText(id).substr(0, kTextRoom);
}

bool InRange(int id, std::uint32_t first, std::uint32_t last) {
    return id >= static_cast<int>(first) && id <= static_cast<int>(last);
}

} // namespace

int CRecordFormatDlg::DoModal() {
    auto tmpl = LoadDialogTemplate(recorder_.Services().resources, IDD);
    if (!tmpl) {
        return -1;
    }
    return recorder_.Services().dialogs.DoModal(*tmpl, *this);
}

void CRecordFormatDlg::Translate(IDialogView& view) {
    const CLanguageText& language = recorder_.Services().language;
    std::string text;
    if (language.Translate(kSection, "Attribute", text)) {
        view.SetWindowText(text, language.Encoding());
    }
    // The three fixed rates read the same in every language.
    static constexpr std::array<int, 10> kItems = {1200, 1201, 1202, 1015,  1014,
                                                   1016, 1017, 1012, kIdOk, kIdCancel};
    for (int id : kItems) {
        if (language.Translate(kSection, ItemText(view, id), text)) {
            view.SetItemText(id, text, language.Encoding());
        }
    }
}

void CRecordFormatDlg::OnInitDialog(IDialogView& view) {
    if (recorder_.Services().records.g_wLanguage != 0xFFFF) {
        Translate(view);
    }
    RecorderRecords& r = recorder_.Records();
    ReadRecordingChoices(recorder_.Services().profile, recorder_.IniPath(), r);
    view.CheckRadioButton(IDC_RATE_11K, IDC_RATE_USER, static_cast<int>(r.g_wRateChoice));
    view.CheckRadioButton(IDC_SIZE_8, IDC_SIZE_16, static_cast<int>(r.g_wSizeChoice));
    view.CheckRadioButton(IDC_MONO, IDC_STEREO, static_cast<int>(r.g_wChannelChoice));
}

void CRecordFormatDlg::OnCommand(IDialogView& view, int id) {
    RecorderRecords& r = recorder_.Records();
    if (InRange(id, IDC_RATE_11K, IDC_RATE_USER)) {
        r.g_wRateChoice = static_cast<std::uint32_t>(id);
        view.CheckRadioButton(IDC_RATE_11K, IDC_RATE_USER, id);
    } else if (InRange(id, IDC_SIZE_8, IDC_SIZE_16)) {
        r.g_wSizeChoice = static_cast<std::uint32_t>(id);
        view.CheckRadioButton(IDC_SIZE_8, IDC_SIZE_16, id);
    } else if (InRange(id, IDC_MONO, IDC_STEREO)) {
        r.g_wChannelChoice = static_cast<std::uint32_t>(id);
        view.CheckRadioButton(IDC_MONO, IDC_STEREO, id);
    } else if (id == kIdOk) {
        OnOK(view);
    } else if (id == kIdCancel) {
        view.EndDialog(0);
    }
}

void CRecordFormatDlg::OnOK(IDialogView& view) {
    RecorderRecords& r = recorder_.Records();
    RecorderServices& s = recorder_.Services();
    if (r.g_wRateChoice == IDC_RATE_USER) {
        r.g_userRate = UserRateFromText(ItemText(view, IDC_USER_RATE));
        if (r.g_userRate < kMinUserRate || r.g_userRate > kMaxUserRate) {
            s.messages.MessageBox("Invalid Sampling Rate!", "ERROR", MB_ICONWARNING);
            view.SetFocus(IDC_USER_RATE);
            return;
        }
    }
    // A new format means a new recording: never drop one nobody saved
    // without asking.
    if (recorder_.HoldsUnsavedRecording(window_) &&
        s.messages.MessageBox("The recording has not been saved. Discard it?", "Mixora",
                              MB_YESNO | MB_ICONWARNING) != IDYES) {
        return;
    }
    recorder_.CloseDevice();
    if (!recorder_.OpenDevice()) {
        return;
    }
    SetRecordFormat(s.mci, s.records.g_wRecDevice, r);
    WriteRecordingChoices(s.profile, recorder_.IniPath(), r);
    view.EndDialog(0);
}

} // namespace mixora
