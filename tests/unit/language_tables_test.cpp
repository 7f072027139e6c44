// The language tables as a Chinese user meets them: the locale read as a
// Windows language id, the table it selects, the tables' rows, and every
// menu, dialog and tooltip that shows them. Expected texts are written here
// in UTF-8 and converted to the table's encoding with iconv, so the bytes
// the program carries are checked against what the user must read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iconv.h>
#include <optional>

#include "device/directsound_reverb.h"
#include "device/environment_effects.h"
#include "device/equalizer_operations.h"
#include "device/language_text.h"
#include "device/preset_dialogs.h"
#include "device/property_channel.h"
#include "fakes/fake_device_seams.h"
#include "fakes/fake_dialog_view.h"
#include "fakes/fake_eq_channel.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "platform/posix/locale_language.h"
#include "platform/posix/registry_store.h"
#include "skin/profile_text.h"

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
std::string Gb(const std::string& utf8) {
    return Encode(utf8, "GB2312");
}

std::string_view Table(const IResourceModule& resources, int id) {
    auto bytes = resources.FindResource("LANG", ResourceName::Id(id));
    return bytes ? std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size())
                 : std::string_view{};
}

std::string Lookup(std::string_view table, const char* section, const std::string& key) {
    std::string out = "<missing>";
    LookupProfileText(table.data(), table.size(), section, key, out);
    return out;
}

struct Row {
    std::string section, key, value;
};

// The table's lines in order; a line that is not "[section]" or "key=value"
// fails the test.
std::vector<Row> Rows(std::string_view table) {
    std::vector<Row> rows;
    std::string section;
    std::size_t at = 0;
    while (at <= table.size()) {
        std::size_t end = table.find("\r\n", at);
        std::string_view line = table.substr(at, end == std::string_view::npos ? end : end - at);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string_view::npos) << "bare CR or LF";
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            section = std::string(line.substr(1, line.size() - 2));
        } else {
            const std::size_t eq = line.find('=');
            EXPECT_NE(eq, std::string_view::npos) << line;
            rows.push_back({section, std::string(line.substr(0, eq)),
                            std::string(line.substr(eq == std::string_view::npos ? 0 : eq + 1))});
        }
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 2;
    }
    return rows;
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

TEST(LanguageTables, BothTablesHoldTheSameKeysInTheSameOrderEachFoundInItsSection) {
    CProgramResources resources;
    const std::string_view big5 = Table(resources, 159);
    const std::string_view gb = Table(resources, 160);
    ASSERT_FALSE(big5.empty());
    ASSERT_FALSE(gb.empty());
    EXPECT_TRUE(big5.starts_with("[Env]\r\n<None>="));
    EXPECT_NE(big5.back(), '\n'); // no line end after the last line
    EXPECT_NE(gb.back(), '\n');

    const std::vector<Row> rows = Rows(big5), gbRows = Rows(gb);
    std::vector<std::string> keys, gbKeys;
    for (const Row& r : rows)
        keys.push_back(r.section + "/" + r.key);
    for (const Row& r : gbRows)
        gbKeys.push_back(r.section + "/" + r.key);
    EXPECT_EQ(keys, gbKeys);
    EXPECT_EQ(rows.size(), 28u + 13u + 1u + 11u + 35u);

    // Every row is what a lookup in its own section finds: no key is hidden
    // by a longer one, a value's bytes or a same-named key of another section.
    for (const auto& [table, tableRows] : {std::pair{big5, rows}, {gb, gbRows}}) {
        for (const Row& r : tableRows) {
            EXPECT_FALSE(r.value.empty()) << r.key;
            EXPECT_EQ(Lookup(table, r.section.c_str(), r.key), r.value)
                << r.section << "/" << r.key;
        }
    }
}

namespace {

// A whole program whose user runs in the locale given by `uiLanguage`, with
// Detect_Language as given, started through the window's creation.
struct ChineseUser : ::testing::Test, FrameHarness {
    TempDir dir;
    RegistryStore registry{dir.File("registry.reg"), nullptr};
    FakeDeviceInstall devices;
    FakeDebugOutput debug;
    FakeDirectSound ds;
    CDirectSoundReverb road{ds, registry, messages, records};
    CPropertyChannel channel{devices, debug, records, &road};
    CEnvironmentEffects environments{channel, road, resources, records};
    FakeEqChannel driver;
    FakeDialogRunner runner;
    CEqualizerOperations equalizer{driver, registry, records, resources, runner};
    std::optional<CMainFrame> frame;
    std::vector<MenuItem> menu;
    std::vector<ToolInfo> tools;

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
        ON_CALL(host, SetTools(_)).WillByDefault(Invoke([this](auto& t) { tools = t; }));
        frame.emplace(Services());
        frame->OnCreate();
        equalizer.SetPresetDialogsOwner(*frame);
    }
    const ToolInfo& Tool(int id) {
        return *std::find_if(tools.begin(), tools.end(), [&](auto& t) { return t.id == id; });
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

TEST_F(ChineseUser, TaiwanSeesTraditionalChineseInEveryMenuDialogAndTooltip) {
    Start(0x0404, 1);
    EXPECT_EQ(Tool(1001).text, Big5("撥放/暫停"));
    EXPECT_EQ(Tool(1001).encoding, TextEncoding::Big5);
    EXPECT_EQ(Tool(1090).text, "400 Hz");
    EXPECT_EQ(Tool(1090).encoding, TextEncoding::Utf8);

    environments.ShowEnvMenu(*frame, 1066);
    ASSERT_EQ(menu.size(), 28u);
    EXPECT_EQ(menu[0].text, Big5("一般"));
    EXPECT_EQ(menu[12].text, Big5("走廊")); // "Hallway", after "Carpeted Hallway"
    EXPECT_EQ(menu[26].text, Big5("<無>"));
    EXPECT_TRUE(menu[13].columnBreak && menu[26].columnBreak);

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

TEST_F(ChineseUser, ThePeoplesRepublicSeesSimplifiedChinese) {
    Start(0x0804, 1);
    EXPECT_EQ(Tool(1068).text, Gb("调整音调"));
    EXPECT_EQ(Tool(1068).encoding, TextEncoding::Gb2312);
    environments.ShowEnvMenu(*frame, 1066);
    ASSERT_EQ(menu.size(), 28u);
    EXPECT_EQ(menu[26].text, Gb("<无>"));
    EXPECT_EQ(menu[26].encoding, TextEncoding::Gb2312);
    equalizer.ShowEqMenu(*frame, 1087);
    EXPECT_EQ(menu[4].text, Gb("重置"));
    const FakeDialogView del = Dialog(&CEqualizerOperations::RunDeletePresetDialog);
    EXPECT_EQ(del.caption, Gb("删除预设"));
    EXPECT_EQ(del.encodings.at(1063), TextEncoding::Gb2312);
}
