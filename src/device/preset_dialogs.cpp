#include "device/preset_dialogs.h"

#include <string>

#include "device/equalizer.h"
#include "device/language_text.h"
#include "skin/dialog_template.h"

namespace mixora {

int CPresetDialog::DoModal() {
    if (!m_pParentWnd) {
        return -1;
    }
    auto tmpl = LoadDialogTemplate(resources_, templateId_);
    if (!tmpl) {
        return -1;
    }
    return runner_.DoModal(*tmpl, *this);
}

void CPresetDialog::Translate(IDialogView& view, int id, const char* key) {
    std::string text;
    if (!language_.Translate("EQ", key, text)) {
        return;
    }
    if (id == 0) {
        view.SetWindowText(text, language_.Encoding());
    } else {
        view.SetItemText(id, text, language_.Encoding());
    }
}

// ---- Load -------------------------------------------------------------

void CLoadPresetDlg::OnInitDialog(IDialogView& view) {
    Translate(view, 0, "PresetLoad");
    Translate(view, kIdOk, "Load");
    Translate(view, kIdCancel, "Cancel");
    m_bSaved = eq_.GetRecord(m_saved);
    if (!m_bSaved) {
        return; // no driver: nothing could be loaded anyway
    }
    eq_.FillPresetList(view, IDC_PRESET_LIST);
    if (view.GetCount(IDC_PRESET_LIST) == 0) {
        view.EnableItem(kIdOk, false);
    } else {
        view.SetCurSel(IDC_PRESET_LIST, 0);
    }
}

void CLoadPresetDlg::OnSelChange(IDialogView& view, int listId) {
    if (listId != IDC_PRESET_LIST) {
        return;
    }
    const int sel = view.GetCurSel(IDC_PRESET_LIST);
    if (sel < 0) {
        return;
    }
    eq_.LoadPreset(*m_pParentWnd, view.GetText(IDC_PRESET_LIST, sel));
}

void CLoadPresetDlg::OnCommand(IDialogView& view, int id) {
    if (id == kIdOk) {
        view.EndDialog(kIdOk);
    } else if (id == kIdCancel) {
        // Without a record read at the start there is nothing to put back,
        // only the panel to bring in line with the driver.
        if (m_bSaved) {
            eq_.SetRecord(m_saved);
        }
        eq_.ShowEqualizer(*m_pParentWnd);
        view.EndDialog(kIdCancel);
    }
}

// ---- Save -------------------------------------------------------------

void CSavePresetDlg::OnInitDialog(IDialogView& view) {
    Translate(view, 0, "PresetSave");
    Translate(view, kIdOk, "Save");
    Translate(view, kIdCancel, "Cancel");
    view.SetEditLimit(IDC_PRESET_NAME, kNameLimit);
    view.SetItemText(IDC_PRESET_NAME, "Default");
    eq_.FillPresetList(view, IDC_PRESET_LIST);
}

void CSavePresetDlg::OnSelChange(IDialogView& view, int listId) {
    if (listId != IDC_PRESET_LIST) {
        return;
    }
    const int sel = view.GetCurSel(IDC_PRESET_LIST);
    if (sel >= 0) {
        view.SetItemText(IDC_PRESET_NAME, view.GetText(IDC_PRESET_LIST, sel));
    }
}

void CSavePresetDlg::OnCommand(IDialogView& view, int id) {
    if (id == kIdOk) {
        // A name of nothing but blanks would be a blank row in every list
        // (and the empty one the key's default value): not a name.
        const std::string name = view.GetItemText(IDC_PRESET_NAME);
        if (name.find_first_not_of(" \t") == std::string::npos) {
            view.SetFocus(IDC_PRESET_NAME);
            return;
        }
        eq_.SavePreset(name);
        view.EndDialog(kIdOk); // also when nothing could be stored
    } else if (id == kIdCancel) {
        view.EndDialog(kIdCancel);
    }
}

// ---- Delete -----------------------------------------------------------

void CDeletePresetDlg::OnInitDialog(IDialogView& view) {
    Translate(view, 0, "PresetDelete");
    Translate(view, IDC_PRESET_DELETE, "Delete");
    Translate(view, kIdCancel, "Cancel");
    eq_.FillPresetList(view, IDC_PRESET_LIST);
}

void CDeletePresetDlg::OnCommand(IDialogView& view, int id) {
    if (id == IDC_PRESET_DELETE) {
        const int sel = view.GetCurSel(IDC_PRESET_LIST);
        if (sel < 0) {
            return;
        }
        if (eq_.DeletePreset(view.GetText(IDC_PRESET_LIST, sel))) {
            view.DeleteString(IDC_PRESET_LIST, sel);
        }
    } else if (id == kIdOk || id == kIdCancel) {
        view.EndDialog(id);
    }
}

} // namespace mixora
