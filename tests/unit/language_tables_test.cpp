// The language tables a Chinese user meets: the locale read as a Windows
// language id and the table that id selects.
#include <gtest/gtest.h>

#include "device/language_text.h"
#include "fakes/frame_harness.h"
#include "platform/posix/locale_language.h"

using namespace mixora;

namespace {

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
