// The Load, Save and Delete Preset dialogs on a real registry store and the
// real base skin: what the lists show, what reaches the driver and what is
// stored, down to the deleted marks the settings file keeps.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "device/equalizer_operations.h"
#include "fakes/fake_dialog_view.h"
#include "fakes/fake_eq_channel.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "platform/posix/registry_store.h"
#include "skin/dialog_template.h"

using namespace mixora;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr int kList = IDC_PRESET_LIST;

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> b) {
    return {b.begin(), b.end()};
}

struct PresetDialogs : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};
    TempDir dir;
    std::unique_ptr<RegistryStore> store =
        std::make_unique<RegistryStore>(dir.File("registry.reg"), nullptr);
    FakeEqChannel driver;
    FakeDialogRunner runner;
    CEqualizer eq{driver, *store, records.g_builtinPresets};
    CLanguageText english{records};
    CLoadPresetDlg load{eq, english, resources, runner};
    CSavePresetDlg save{eq, english, resources, runner};
    CDeletePresetDlg del{eq, english, resources, runner};

    PresetDialogs() {
        frame.OnCreate();
        load.SetOwner(frame);
        save.SetOwner(frame);
        del.SetOwner(frame);
        driver.record[16] = 0xAB; // a driver word every record carries
        SetEqGain(driver.record, 0, 111);
    }

    void StoreUser(const std::string& name, std::span<const std::uint8_t> data) {
        HKEY key = 0;
        ASSERT_EQ(store->CreateKey(HKEY_LOCAL_MACHINE, kEqPresetKey, &key), ERROR_SUCCESS);
        store->SetValue(key, name, REG_BINARY, data);
        store->CloseKey(key);
    }
    std::optional<std::vector<std::uint8_t>> ReadUser(IRegistry& reg, const std::string& name) {
        HKEY key = 0;
        if (reg.OpenKey(HKEY_LOCAL_MACHINE, kEqPresetKey, &key) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<std::uint8_t> data(512);
        DWORD size = 512, type = 0;
        LONG rc = reg.QueryValue(key, name, &type, data.data(), &size);
        reg.CloseKey(key);
        if (rc != ERROR_SUCCESS || type != REG_BINARY)
            return std::nullopt;
        data.resize(size);
        return data;
    }
    // Opens a dialog on a fresh view and returns that view.
    FakeDialogView Open(IDialogController& dlg) {
        FakeDialogView view;
        view.lists[kList];
        dlg.OnInitDialog(view);
        return view;
    }
};

} // namespace

TEST_F(PresetDialogs, TemplatesCarryTheCaptionsControlsAndTexts) {
    for (CPresetDialog* dlg :
         {static_cast<CPresetDialog*>(&load), static_cast<CPresetDialog*>(&save),
          static_cast<CPresetDialog*>(&del)}) {
        runner.script = [](FakeDialogView& v, IDialogController& c) { c.OnCommand(v, kIdCancel); };
        EXPECT_EQ(dlg->DoModal(), kIdCancel);
    }
    ASSERT_EQ(runner.shown.size(), 3u);
    auto texts = [](const DialogTemplate& t) {
        std::vector<std::pair<int, std::string>> out;
        for (const auto& c : t.controls) {
            out.emplace_back(c.id, c.text);
            if (c.kind == DialogControlKind::ListBox) {
                EXPECT_TRUE(c.sorted && c.notify);
            }
        }
        return out;
    };
    using P = std::pair<int, std::string>;
    EXPECT_EQ(runner.shown[0].caption, "Load Preset");
    EXPECT_THAT(texts(runner.shown[0]), ElementsAre(P{1060, ""}, P{1, "Load"}, P{2, "Cancel"}));
    EXPECT_EQ(runner.shown[1].caption, "Save Preset");
    EXPECT_THAT(texts(runner.shown[1]),
                ElementsAre(P{1061, ""}, P{1060, ""}, P{1, "Save"}, P{2, "Cancel"}));
    EXPECT_EQ(runner.shown[2].caption, "Delete Preset");
    EXPECT_THAT(texts(runner.shown[2]),
                ElementsAre(P{1060, ""}, P{1063, "Delete"}, P{2, "Cancel"}));

    CLoadPresetDlg orphan{eq, english, resources, runner};
    EXPECT_EQ(orphan.DoModal(), -1); // no owner told: no dialog
    // Edges beyond the largest int are refused, not wrapped to negative.
    EXPECT_FALSE(ParseDialogTemplate("caption \"x\"\nsize 10 10\nbutton 1 2147483600 0 100 5\n"));
    auto edge = ParseDialogTemplate("caption \"x\"\nsize 10 10\nbutton 1 2147483547 0 100 5\n");
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->controls[0].rect.right, 2147483647);
}

TEST_F(PresetDialogs, LoadingBuiltinSwitchesOnAndCancelPutsTheOldRecordBack) {
    const EqRecord before = driver.record; // mask 0: off
    FakeDialogView view = Open(load);
    EXPECT_EQ(view.GetCurSel(kList), 0); // first line selected, nothing applied
    EXPECT_THAT(driver.sets, IsEmpty());

    view.Pick(load, kList, "Rock");
    ASSERT_EQ(driver.sets.size(), 1u);
    EXPECT_EQ(driver.sets[0].first, 39u);
    EXPECT_EQ(EqMask(driver.record), kEqMaskOn);
    const std::array<std::int32_t, 10> rock = {400, 200, -250, -530, -250, 250, 530, 650, 650, 650};
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(EqGain(driver.record, b), rock[static_cast<std::size_t>(b)]);
    EXPECT_EQ(driver.record[16], 0xAB); // the driver's words ride along
    EXPECT_EQ(frame.m_eq, driver.record);
    EXPECT_EQ(frame.m_skin.GetButtonState(kEqOnOffControl), 1);

    load.OnCommand(view, kIdCancel);
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(driver.record, before);
    EXPECT_EQ(frame.m_eq, before);
    EXPECT_EQ(frame.m_skin.GetButtonState(kEqOnOffControl), 0);
}

TEST_F(PresetDialogs, SavingUnderBuiltinNameReplacesItAcrossARestart) {
    FakeDialogView view = Open(save);
    EXPECT_EQ(view.limits[IDC_PRESET_NAME], 127);
    EXPECT_EQ(view.texts[IDC_PRESET_NAME], "Default");
    view.Pick(save, kList, "Bass");
    EXPECT_EQ(view.texts[IDC_PRESET_NAME], "Bass");
    save.OnCommand(view, kIdOk);
    EXPECT_EQ(view.result, kIdOk);

    EXPECT_EQ(ReadUser(*store, "Bass"), Bytes(driver.record));
    EXPECT_TRUE(records.g_builtinPresets.IsDeleted(0));
    const std::uint32_t mask = records.g_builtinPresets.DeletedMask();
    EXPECT_EQ(mask, 1u);

    // Restart: the settings file's mask and the registry file come back.
    store = std::make_unique<RegistryStore>(dir.File("registry.reg"), nullptr);
    CBuiltinPresets fresh;
    fresh.ApplyDeletedMask(mask);
    CEqualizer again{driver, *store, fresh};
    auto names = again.PresetNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "Bass"), 1);
    EXPECT_EQ(names.front(), "Bass");
}

TEST_F(PresetDialogs, NamesAreCutOnlyAtWholeCharacters) {
    EXPECT_EQ(CutUtf8(std::string(126, 'a') + "\xE4\xB8\x80", 127), std::string(126, 'a'));
    EXPECT_EQ(CutUtf8("short", 127), "short");
}

TEST_F(PresetDialogs, DeletingRemovesLinesAndHidesBuiltinsForGood) {
    StoreUser("Bass", driver.record);
    records.g_builtinPresets.SetDeleted(0, true);
    StoreUser("Mine", driver.record);

    FakeDialogView view = Open(del);
    del.OnCommand(view, IDC_PRESET_DELETE); // nothing selected: nothing happens
    EXPECT_EQ(view.Lines(kList).size(), 16u);

    view.Pick(del, kList, "Bass");
    del.OnCommand(view, IDC_PRESET_DELETE);
    EXPECT_FALSE(ReadUser(*store, "Bass"));
    EXPECT_TRUE(records.g_builtinPresets.IsDeleted(0)); // still hidden: the line is gone
    view.Pick(del, kList, "Rock");
    del.OnCommand(view, IDC_PRESET_DELETE);
    EXPECT_EQ(records.g_builtinPresets.DeletedMask(), (1u << 0) | (1u << 12));
    EXPECT_FALSE(view.ended); // open for more

    EXPECT_THAT(Open(load).Lines(kList),
                ElementsAre("Classical", "Club", "Dance", "Live", "Mine", "Party", "Pop",
                            "Powerful", "Reggae", "Ska", "Soft", "Techno", "Treble", "Vocal"));
    del.OnCommand(view, kIdCancel);
    EXPECT_EQ(view.result, kIdCancel);
}
