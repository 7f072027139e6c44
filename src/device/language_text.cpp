#include "device/language_text.h"

#include "device/program_records.h"
#include "platform/system_info.h"
#include "skin/profile_text.h"
#include "skin/resource_source.h"

namespace mixora {
namespace {

constexpr std::uint16_t kPrimaryLanguageMask = 0x03FF;
constexpr std::uint16_t kLangChinese = 0x0004;
constexpr std::uint16_t kSublangChineseSimplified = 0x0800;

} // namespace

int LanguageTableFor(std::uint16_t language) {
    if ((language & kPrimaryLanguageMask) != kLangChinese) {
        return 0;
    }
    // Only the People's Republic writes simplified characters in this
    // choice; Singapore, though it does too, gets the traditional table.
    return (language & ~kPrimaryLanguageMask) == kSublangChineseSimplified
               ? kSimplifiedChineseTable
               : kTraditionalChineseTable;
}

void ChooseLanguageTable(ProgramRecords& records, ISystemInfo& system,
                         const IResourceModule& resources) {
    records.g_pLangTable = nullptr;
    records.g_nLangTableLength = 0;
    const std::uint16_t language = system.UserDefaultUILanguage();
    const int table = LanguageTableFor(language);
    if (table == 0) {
        records.g_wLanguage = kNoLanguage;
        return;
    }
    records.g_wLanguage = language;
    // The program's resources live as long as the program: the text is
    // used in place and never released.
    if (auto text = resources.FindResource("LANG", ResourceName::Id(table))) {
        records.g_pLangTable = reinterpret_cast<const char*>(text->data());
        records.g_nLangTableLength = text->size();
    }
}

bool HasLanguageTable(const ProgramRecords& records) {
    return records.g_wLanguage != kNoLanguage;
}

bool CLanguageText::Translate(std::string_view section, std::string_view key,
                              std::string& out) const {
    if (!HasLanguageTable(records_)) {
        return false;
    }
    if (lookup_) {
        return lookup_(section, key, out);
    }
    // A selected language whose table could not be found has a null table:
    // every lookup fails and the English text stays.
    return LookupProfileText(records_.g_pLangTable, records_.g_nLangTableLength, section, key, out);
}

TextEncoding CLanguageText::Encoding() const {
    switch (LanguageTableFor(records_.g_wLanguage)) {
    case kSimplifiedChineseTable:
        return TextEncoding::Gb2312;
    case kTraditionalChineseTable:
        return TextEncoding::Big5;
    default:
        return TextEncoding::Utf8;
    }
}

} // namespace mixora
