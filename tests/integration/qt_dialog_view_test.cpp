// Template dialogs as Qt widgets on the offscreen platform: built at the
// template's places, sorted lists, the edit limit, and clicks, selections and
// closing reported to the controller.
#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "platform/qt/qt_dialog_view.h"
#include "skin/dialog_template.h"

using namespace mixora;

namespace {

const char* const kSaveTemplate = R"(caption "Save Preset"
size 186 110
edit 1061 7 7 116 12 "" autohscroll
listbox 1060 7 23 116 81 sort notify
button 1 129 7 50 14 "Save" default
button 2 129 24 50 14 "Cancel"
)";

struct Script final : IDialogController {
    std::vector<std::pair<char, int>> events; // 'c' command, 's' selection change
    std::function<void(IDialogView&)> init;
    std::function<void(IDialogView&, int)> command;
    void OnInitDialog(IDialogView& v) override {
        if (init)
            init(v);
    }
    void OnCommand(IDialogView& v, int id) override {
        events.emplace_back('c', id);
        if (command)
            command(v, id);
    }
    void OnSelChange(IDialogView&, int id) override { events.emplace_back('s', id); }
};

DialogTemplate SaveTemplate() {
    return *ParseDialogTemplate(kSaveTemplate);
}

} // namespace

TEST(QtDialogView, BuildsTheTemplateAtScaledPlaces) {
    Script script;
    QtDialogView view(SaveTemplate(), script, nullptr);
    EXPECT_EQ(view.Dialog().windowTitle(), QStringLiteral("Save Preset"));
    auto* edit = qobject_cast<QLineEdit*>(view.Item(1061));
    auto* list = qobject_cast<QListWidget*>(view.Item(1060));
    auto* save = qobject_cast<QPushButton*>(view.Item(1));
    auto* cancel = qobject_cast<QPushButton*>(view.Item(2));
    ASSERT_TRUE(edit && list && save && cancel);
    EXPECT_TRUE(save->isDefault());
    EXPECT_FALSE(cancel->isDefault());

    // Same proportions as the template: buttons right of the list, the list
    // below the edit, everything inside the dialog.
    EXPECT_GT(save->geometry().left(), list->geometry().right());
    EXPECT_GT(list->geometry().top(), edit->geometry().bottom());
    EXPECT_GT(list->geometry().height(), 4 * edit->geometry().height());
}

TEST(QtDialogView, RadioButtonsReportClicksAndMoveOnlyWhenTheControllerMovesThem) {
    const char* const kGroups = R"(caption "Attribute"
size 120 60
groupbox 1201 4 4 80 40 "Sample Size"
radio 1014 10 14 60 10 "8-Bits"
radio 1015 10 26 60 10 "16-Bits"
button 1 90 4 26 14 "OK"
)";
    Script script;
    script.command = [](IDialogView& v, int id) {
        if (id == 1014 || id == 1015)
            v.CheckRadioButton(1014, 1015, id);
    };
    QtDialogView view(*ParseDialogTemplate(kGroups), script, nullptr);
    auto* eight = qobject_cast<QAbstractButton*>(view.Item(1014));
    auto* sixteen = qobject_cast<QAbstractButton*>(view.Item(1015));
    ASSERT_TRUE(eight && sixteen);

    view.CheckRadioButton(1014, 1015, 1015);
    EXPECT_TRUE(view.IsButtonChecked(1015));
    EXPECT_FALSE(view.IsButtonChecked(1014));
    eight->click();
    EXPECT_TRUE(view.IsButtonChecked(1014));
    EXPECT_FALSE(view.IsButtonChecked(1015));
    EXPECT_EQ(script.events, (std::vector<std::pair<char, int>>{{'c', 1014}}));

    // Without the controller's word nothing moves.
    script.command = nullptr;
    sixteen->click();
    EXPECT_TRUE(view.IsButtonChecked(1014));
    EXPECT_FALSE(view.IsButtonChecked(1015));
}
