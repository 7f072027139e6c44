#pragma once
// Modal dialogs: the dialog's logic lives in the core as a controller that
// drives the dialog's controls by their ids through IDialogView; the host
// builds the dialog from a template and runs it. Everything here is called on
// the UI thread.
#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "platform/text_encoding.h"

namespace mixora {

// The classic ids of the OK and Cancel buttons. Closing the dialog by its
// frame or with Escape reaches the controller as a click on IDCANCEL.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

enum class DialogControlKind { Static, Edit, ListBox, Button, RadioButton, GroupBox };

// One control of a dialog template. `rect` is in dialog units (a quarter of
// the average character width across, an eighth of the line height down);
// right and bottom are left + width and top + height.
struct DialogControl {
    DialogControlKind kind = DialogControlKind::Static;
    int id = 0;
    std::string text;
    RECT rect;
    bool sorted = false;        // list box: keeps its lines in ListBoxLess order
    bool notify = false;        // list box: reports selection changes
    bool defaultButton = false; // button: pressed by Enter
};

struct DialogTemplate {
    std::string caption;
    int width = 0;  // dialog units
    int height = 0; // dialog units
    std::vector<DialogControl> controls;
};

// The order of a sorted list box: letters compare without regard to case,
// then the bytes decide, so the order never depends on when a line came in.
inline bool ListBoxLess(std::string_view a, std::string_view b) {
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int x = fold(static_cast<unsigned char>(a[i]));
        const int y = fold(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

// The controls of one open dialog, by id. Calls naming an id the dialog does
// not have, or an index out of range, do nothing and read as empty or -1.
class IDialogView {
public:
    virtual ~IDialogView() = default;

    // The caption of the dialog. `encoding` says how the bytes are read
    // (translations come in their table's encoding).
    virtual void SetWindowText(const std::string& text,
                               TextEncoding encoding = TextEncoding::Utf8) = 0;
    // The text of a static, edit or button control. What GetItemText reads
    // back is UTF-8, whatever encoding it was set in.
    virtual void SetItemText(int id, const std::string& text,
                             TextEncoding encoding = TextEncoding::Utf8) = 0;
    virtual std::string GetItemText(int id) const = 0;
    virtual void EnableItem(int id, bool enable) = 0;
    // The most characters the user may type into an edit control.
    virtual void SetEditLimit(int id, int maxChars) = 0;
    // Gives the keyboard focus to a control (an edit: with its text selected).
    virtual void SetFocus(int id) = 0;

    // Radio buttons: marks `id` and clears the others of first..last.
    // Clicking one reaches the controller as OnCommand with its id; the mark
    // moves only when the controller moves it.
    virtual void CheckRadioButton(int firstId, int lastId, int id) = 0;
    virtual bool IsButtonChecked(int id) const = 0;

    // List boxes. AddString returns the index the line landed at (a sorted
    // list puts it in order). SetCurSel(-1) clears the selection; selecting
    // from here is not reported back to the controller.
    virtual void ResetContent(int id) = 0;
    virtual int AddString(int id, const std::string& text) = 0;
    virtual void DeleteString(int id, int index) = 0;
    virtual int GetCount(int id) const = 0;
    virtual int GetCurSel(int id) const = 0;
    virtual void SetCurSel(int id, int index) = 0;
    virtual std::string GetText(int id, int index) const = 0;

    // Closes the dialog once the current handler returns; DoModal then
    // returns `result`.
    virtual void EndDialog(int result) = 0;
};

// The logic of one dialog.
class IDialogController {
public:
    virtual ~IDialogController() = default;
    // Once, after the controls exist and before the dialog shows.
    virtual void OnInitDialog(IDialogView& view) = 0;
    // A button was clicked (or IDCANCEL for the frame's close and Escape).
    // The dialog stays open until the controller calls EndDialog.
    virtual void OnCommand(IDialogView& view, int id) = 0;
    // The user changed the selection of a list box that notifies.
    virtual void OnSelChange(IDialogView& view, int listId) = 0;
};

class IDialogRunner {
public:
    virtual ~IDialogRunner() = default;
    // Builds the dialog from `tmpl`, runs it modally over the main window and
    // returns the EndDialog result (-1 when it could not be shown). Blocks
    // until the dialog closes; the window's messages keep flowing meanwhile.
    virtual int DoModal(const DialogTemplate& tmpl, IDialogController& controller) = 0;
};

} // namespace mixora
