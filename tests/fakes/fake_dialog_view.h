#pragma once
// A dialog without a screen: controls by id in memory, list boxes that sort
// as the real ones do, and a runner that hands the controller such a view.
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog_view.h"

namespace mixora {

class FakeDialogView final : public IDialogView {
public:
    struct List {
        std::vector<std::string> lines;
        bool sorted = true;
        int sel = -1;
    };

    FakeDialogView() = default;
    explicit FakeDialogView(const DialogTemplate& tmpl) : caption(tmpl.caption) {
        for (const DialogControl& c : tmpl.controls) {
            if (c.kind == DialogControlKind::ListBox) {
                lists[c.id].sorted = c.sorted;
            } else {
                texts[c.id] = c.text;
            }
        }
    }

    void SetWindowText(const std::string& text,
                       TextEncoding encoding = TextEncoding::Utf8) override {
        caption = text;
        encodings[0] = encoding;
    }
    void SetItemText(int id, const std::string& text,
                     TextEncoding encoding = TextEncoding::Utf8) override {
        encodings[id] = encoding;
        auto limit = limits.find(id);
        texts[id] =
            limit == limits.end() ? text : text.substr(0, static_cast<std::size_t>(limit->second));
    }
    std::string GetItemText(int id) const override {
        auto it = texts.find(id);
        return it == texts.end() ? std::string{} : it->second;
    }
    void EnableItem(int id, bool enable) override { disabled[id] = !enable; }
    void SetEditLimit(int id, int maxChars) override { limits[id] = maxChars; }
    void SetFocus(int id) override { focus = id; }
    void CheckRadioButton(int firstId, int lastId, int id) override {
        for (int i = firstId; i <= lastId; ++i) {
            checked[i] = i == id;
        }
    }
    bool IsButtonChecked(int id) const override {
        auto it = checked.find(id);
        return it != checked.end() && it->second;
    }
    void ResetContent(int id) override { lists[id] = List{{}, lists[id].sorted, -1}; }
    int AddString(int id, const std::string& text) override {
        List& l = lists[id];
        auto at = l.lines.end();
        if (l.sorted) {
            at = l.lines.begin();
            while (at != l.lines.end() && !ListBoxLess(text, *at))
                ++at;
        }
        return static_cast<int>(l.lines.insert(at, text) - l.lines.begin());
    }
    void DeleteString(int id, int index) override {
        if (List& l = lists[id]; Valid(l, index)) {
            l.lines.erase(l.lines.begin() + index);
            l.sel = -1;
        }
    }
    int GetCount(int id) const override {
        auto it = lists.find(id);
        return it == lists.end() ? -1 : static_cast<int>(it->second.lines.size());
    }
    int GetCurSel(int id) const override {
        auto it = lists.find(id);
        return it == lists.end() ? -1 : it->second.sel;
    }
    void SetCurSel(int id, int index) override {
        List& l = lists[id];
        l.sel = Valid(l, index) ? index : -1;
    }
    std::string GetText(int id, int index) const override {
        auto it = lists.find(id);
        return it != lists.end() && Valid(it->second, index)
                   ? it->second.lines[static_cast<std::size_t>(index)]
                   : std::string{};
    }
    void EndDialog(int r) override { ended = true, result = r; }

    // The user picks line `line` (by its text) of list `id`.
    void Pick(IDialogController& dlg, int id, const std::string& line) {
        List& l = lists[id];
        if (auto at = std::find(l.lines.begin(), l.lines.end(), line); at != l.lines.end()) {
            l.sel = static_cast<int>(at - l.lines.begin());
            dlg.OnSelChange(*this, id);
        }
    }
    const std::vector<std::string>& Lines(int id) { return lists[id].lines; }

    std::string caption;
    // How the caption (key 0) and each control's text were last set.
    std::map<int, TextEncoding> encodings;
    std::map<int, std::string> texts;
    std::map<int, bool> disabled;
    std::map<int, int> limits;
    std::map<int, bool> checked;
    std::map<int, List> lists;
    bool ended = false;
    int focus = 0;
    int result = 0;

private:
    static bool Valid(const List& l, int index) {
        return index >= 0 && index < static_cast<int>(l.lines.size());
    }
};

// Runs a dialog on a FakeDialogView: init, then `script` plays the user.
class FakeDialogRunner final : public IDialogRunner {
public:
    std::function<void(FakeDialogView&, IDialogController&)> script;
    std::vector<DialogTemplate> shown;

    int DoModal(const DialogTemplate& tmpl, IDialogController& controller) override {
        shown.push_back(tmpl);
        FakeDialogView view(tmpl);
        controller.OnInitDialog(view);
        if (script && !view.ended)
            script(view, controller);
        return view.ended ? view.result : -1;
    }
};

} // namespace mixora
