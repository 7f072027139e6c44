#pragma once
// Modal dialogs built from the program's dialog templates as Qt widgets,
// driven by a controller of the core through IDialogView.
#include <QDialog>
#include <functional>
#include <map>
#include <memory>

#include "platform/dialog_view.h"

class QListWidget;

namespace mixora {

class QtDialogView;

// The dialog window: Escape and the frame's close button become a click on
// IDCANCEL for the controller to answer, as dialogs always did.
class TemplateDialog final : public QDialog {
public:
    TemplateDialog(QtDialogView& view, QWidget* parent) : QDialog(parent), view_(view) {}
    void reject() override;

private:
    QtDialogView& view_;
};

class QtDialogView final : public IDialogView {
public:
    // Builds the dialog and its controls at the template's places, scaled
    // from dialog units by the dialog font.
    QtDialogView(const DialogTemplate& tmpl, IDialogController& controller, QWidget* parent);
    ~QtDialogView() override;

    // Lets the controller set the dialog up, then runs it modally (unless
    // the controller has already ended it) and returns the EndDialog result.
    int Exec();

    QDialog& Dialog() { return *dialog_; }
    // The control `id`, or null.
    QWidget* Item(int id) const;

    void SetWindowText(const std::string& text,
                       TextEncoding encoding = TextEncoding::Utf8) override;
    void SetItemText(int id, const std::string& text,
                     TextEncoding encoding = TextEncoding::Utf8) override;
    std::string GetItemText(int id) const override;
    void EnableItem(int id, bool enable) override;
    void SetEditLimit(int id, int maxChars) override;
    void SetFocus(int id) override;
    void CheckRadioButton(int firstId, int lastId, int id) override;
    bool IsButtonChecked(int id) const override;
    void ResetContent(int id) override;
    int AddString(int id, const std::string& text) override;
    void DeleteString(int id, int index) override;
    int GetCount(int id) const override;
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index) override;
    std::string GetText(int id, int index) const override;
    void EndDialog(int result) override;

private:
    friend class TemplateDialog;
    QListWidget* List(int id) const;
    void Build(const DialogTemplate& tmpl);
    // Runs `change` without reporting the selection changes it causes.
    void Quietly(const std::function<void()>& change);

    IDialogController& controller_;
    std::unique_ptr<TemplateDialog> dialog_;
    std::map<int, QWidget*> items_;
    std::map<int, bool> sortedLists_;
    std::map<int, bool> checked_;
    bool quiet_ = false;
    bool ended_ = false;
    int result_ = 0;
};

// Shows template dialogs over the main window.
class QtDialogRunner final : public IDialogRunner {
public:
    explicit QtDialogRunner(std::function<QWidget*()> parent) : parent_(std::move(parent)) {}
    int DoModal(const DialogTemplate& tmpl, IDialogController& controller) override;

private:
    std::function<QWidget*()> parent_;
};

} // namespace mixora
