#pragma once
// The Load, Save and Delete Preset dialogs: modal, owned by the main window,
// each listing the presets sorted by name.
#include "device/eq_record.h"
#include "platform/dialog_view.h"

namespace mixora {

class CEqualizer;
class CLanguageText;
class CDeviceWindow;
class IResourceModule;

// Controls of the three dialogs.
inline constexpr int IDC_PRESET_LIST = 1060;
inline constexpr int IDC_PRESET_NAME = 1061;
inline constexpr int IDC_PRESET_DELETE = 1063;

// What the three dialogs share: the equalizer, the texts, their owner and
// the way to show them.
class CPresetDialog : public IDialogController {
public:
    CPresetDialog(int templateId, CEqualizer& eq, const CLanguageText& language,
                  const IResourceModule& resources, IDialogRunner& runner)
        : eq_(eq), templateId_(templateId), language_(language), resources_(resources),
          runner_(runner) {}

    // The window the dialog belongs to; it must be told before DoModal.
    void SetOwner(CDeviceWindow& owner) { m_pParentWnd = &owner; }
    // Runs the dialog; its end result, or -1 when it has no owner or its
    // template cannot be read.
    int DoModal();

protected:
    // Replaces the caption or an item's text by the translation of `key`
    // (section "EQ") when a language table holds one. 0 is the caption.
    void Translate(IDialogView& view, int id, const char* key);

    CDeviceWindow* m_pParentWnd = nullptr;
    CEqualizer& eq_;

private:
    int templateId_;
    const CLanguageText& language_;
    const IResourceModule& resources_;
    IDialogRunner& runner_;
};

// Each pick in the list is heard at once; Cancel puts back the record the
// driver had when the dialog opened.
class CLoadPresetDlg final : public CPresetDialog {
public:
    static constexpr int IDD = 138;
    CLoadPresetDlg(CEqualizer& eq, const CLanguageText& language, const IResourceModule& resources,
                   IDialogRunner& runner)
        : CPresetDialog(IDD, eq, language, resources, runner) {}

    void OnInitDialog(IDialogView& view) override;
    void OnCommand(IDialogView& view, int id) override;
    void OnSelChange(IDialogView& view, int listId) override;

private:
    EqRecord m_saved{};
    bool m_bSaved = false;
};

// Stores the driver's record under the typed name (127 characters at most).
class CSavePresetDlg final : public CPresetDialog {
public:
    static constexpr int IDD = 141;
    static constexpr int kNameLimit = 127;
    CSavePresetDlg(CEqualizer& eq, const CLanguageText& language, const IResourceModule& resources,
                   IDialogRunner& runner)
        : CPresetDialog(IDD, eq, language, resources, runner) {}

    void OnInitDialog(IDialogView& view) override;
    void OnCommand(IDialogView& view, int id) override;
    void OnSelChange(IDialogView& view, int listId) override;
};

// Deletes the selected preset; stays open for more until Cancel.
class CDeletePresetDlg final : public CPresetDialog {
public:
    static constexpr int IDD = 139;
    CDeletePresetDlg(CEqualizer& eq, const CLanguageText& language,
                     const IResourceModule& resources, IDialogRunner& runner)
        : CPresetDialog(IDD, eq, language, resources, runner) {}

    void OnInitDialog(IDialogView& view) override;
    void OnCommand(IDialogView& view, int id) override;
    void OnSelChange(IDialogView&, int) override {}
};

} // namespace mixora
