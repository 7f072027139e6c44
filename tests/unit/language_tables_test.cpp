// The language tables as a Chinese user meets them: the locale read as a
// Windows language id, the table it selects, and the menus and dialogs that
// show them. Expected texts are written here
// in UTF-8 and converted to the table's encoding with iconv, so the bytes
// the program carries are checked against what the user must read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iconv.h>
#include <optional>

#include "device/equalizer_operations.h"
#include "device/language_text.h"
#include "device/preset_dialogs.h"
#include "fakes/fake_dialog_view.h"
#include "fakes/fake_eq_channel.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "platform/posix/locale_language.h"
#include "platform/posix/registry_store.h"

using namespace mixora;
using ::testing::_;
using ::testing::Invoke;

namespace {

// `utf8` in `encoding` ("BIG5", "GB2312"); empty when a character has no
// form there.
std::string Encode(const std::string& utf8, const char* encoding) {
    iconv_t cd = iconv_open(encoding, "UTF-8");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* o = out.data();
    std::size_t oLeft = out.size();
    const bool ok = iconv(cd, &in, &inLeft, &o, &oLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    return ok ? out.substr(0, out.size() - oLeft) : std::string{};
}
std::string Big5(const std::string& utf8) {
    return Encode(utf8, "BIG5");
}
std::string_view Table(const IResourceModule& resources, int id) {
    auto bytes = resources.FindResource("LANG", ResourceName::Id(id));
    return bytes ? std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size())
                 : std::string_view{};
}

} // namespace

TEST(LocaleLanguage, ThePosixLocaleBecomesAWindowsLanguageId) {
    for (auto [locale, id] : {std::pair{"zh_TW.UTF-8", 0x0404},
                              {"zh_CN.GB2312", 0x0804},
                              {"zh_HK.big5hkscs", 0x0C04},
                              {"zh_SG", 0x1004},
                              {"zh_MO.UTF-8", 0x1404},
                              {"zh_TW.Big5@stroke", 0x0404},
                              {"de_AT@euro", 0x0C07},
                              {"pt-BR", 0x0416},
                              {"C.UTF-8", 0x0409}}) {
        EXPECT_EQ(WindowsLanguageId(locale), id) << locale;
    }
    // LANGUAGE leads (its first entry), then LC_ALL, LC_MESSAGES, LANG;
    // empty values count as unset, and nothing set is the C locale.
    EXPECT_EQ(MessagesLocale("zh_TW:zh_CN", "en_US", "de_DE", "fr_FR"), "zh_TW");
    EXPECT_EQ(MessagesLocale(nullptr, "", "zh_HK", "fr_FR"), "zh_HK");
    EXPECT_EQ(MessagesLocale(nullptr, nullptr, nullptr, nullptr), "C");
}

TEST(LanguageTables, EachLanguageIdSelectsItsTable) {
    FrameHarness h;
    for (auto [language, table] :
         {std::pair{0x0804, 160}, {0x0C04, 159}, {0x1404, 159}, {0x0409, 0}, {0x0411, 0}}) {
        ProgramRecords records;
        h.system.uiLanguage = static_cast<std::uint16_t>(language);
        ChooseLanguageTable(records, h.system, h.resources);
        SCOPED_TRACE(language);
        if (table == 0) {
            EXPECT_EQ(records.g_wLanguage, 0xFFFF);
            EXPECT_FALSE(HasLanguageTable(records));
            EXPECT_EQ(records.g_pLangTable, nullptr);
        } else {
            EXPECT_EQ(records.g_wLanguage, language);
            EXPECT_TRUE(HasLanguageTable(records));
            EXPECT_EQ(std::string_view(records.g_pLangTable, records.g_nLangTableLength),
                      Table(h.resources, table));
        }
    }
}

namespace {

// A whole program whose user runs in the locale given by `uiLanguage`, with
// Detect_Language as given, started through the window's creation.
struct ChineseUser : ::testing::Test, FrameHarness {
    TempDir dir;
    RegistryStore registry{dir.File("registry.reg"), nullptr};
    FakeEqChannel driver;
    FakeDialogRunner runner;
    CEqualizerOperations equalizer{driver, registry, records, resources, runner};
    std::optional<CMainFrame> frame;
    std::vector<MenuItem> menu;

    void Start(std::uint16_t language, int detect) {
        system.uiLanguage = language;
        ON_CALL(profile, GetInt(_, "Detect_Language", _, _))
            .WillByDefault(::testing::Return(detect));
        ON_CALL(effects, ChooseLanguageTable(_)).WillByDefault(Invoke([this](ProgramRecords& r) {
            ChooseLanguageTable(r, system, resources);
        }));
        ON_CALL(host, TrackPopupMenu(_, _)).WillByDefault(Invoke([this](auto& items, POINT) {
            menu = items;
        }));
        frame.emplace(Services());
        frame->OnCreate();
        equalizer.SetPresetDialogsOwner(*frame);
    }
    std::vector<std::string> MenuTexts() {
        std::vector<std::string> texts;
        for (const MenuItem& item : menu)
            texts.push_back(item.text);
        return texts;
    }
    FakeDialogView Dialog(void (CEqualizerOperations::*run)()) {
        FakeDialogView opened;
        runner.script = [&](FakeDialogView& view, IDialogController&) { opened = view; };
        (equalizer.*run)();
        return opened;
    }
};

} // namespace

// The environment menu and the tooltips are read on screen by the end-to-end run.
TEST_F(ChineseUser, TaiwanSeesTraditionalChineseInMenusAndDialogs) {
    Start(0x0404, 1);
    equalizer.ShowEqMenu(*frame, 1087);
    EXPECT_EQ(MenuTexts(), (std::vector<std::string>{Big5("載入..."), Big5("儲存..."),
                                                     Big5("刪除..."), "", Big5("重設")}));

    frame->ShowSkinMenu(1065);
    ASSERT_FALSE(menu.empty());
    EXPECT_EQ(menu[0].text, Big5("預設外觀"));
    EXPECT_EQ(menu[0].encoding, TextEncoding::Big5);

    const FakeDialogView load = Dialog(&CEqualizerOperations::RunLoadPresetDialog);
    EXPECT_EQ(load.caption, Big5("載入預設集"));
    EXPECT_EQ(load.texts.at(1), Big5("載入"));
    EXPECT_EQ(load.encodings.at(0), TextEncoding::Big5);
    const FakeDialogView del = Dialog(&CEqualizerOperations::RunDeletePresetDialog);
    EXPECT_EQ(del.caption, Big5("刪除預設集"));
    EXPECT_EQ(del.texts.at(1063), Big5("刪除"));
}
