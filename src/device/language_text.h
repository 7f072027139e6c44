#pragma once
// The language tables: choosing one from the user's language at start-up,
// and the translations of the program's fixed texts looked up in it.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace mixora {

class IResourceModule;
class ISystemInfo;
struct ProgramRecords;

// g_wLanguage when no table is selected: the built-in English texts.
inline constexpr std::uint16_t kNoLanguage = 0xFFFF;
// The "LANG" resources: Traditional Chinese in Big5, Simplified in GB2312.
inline constexpr int kTraditionalChineseTable = 159;
inline constexpr int kSimplifiedChineseTable = 160;

// The table a Windows language id selects: 160 for Chinese as used in the
// People's Republic (sublanguage bits 0x0800), 159 for every other Chinese
// sublanguage (Taiwan, Hong Kong, Singapore, Macao), 0 for other languages.
int LanguageTableFor(std::uint16_t language);

// Asks the system for the user's interface language and selects the
// matching table: g_wLanguage becomes the language id and g_pLangTable /
// g_nLangTableLength the table's text in `resources` (which must live as
// long as the records are used). Any other language leaves g_wLanguage at
// 0xFFFF and no table. Called once, when Detect_Language is on.
void ChooseLanguageTable(ProgramRecords& records, ISystemInfo& system,
                         const IResourceModule& resources);

// True when a language was selected (g_wLanguage is not 0xFFFF).
bool HasLanguageTable(const ProgramRecords& records);

// Looks `key` up in `section` of the selected table; true and the value in
// `out` when found.
using LanguageLookup =
    std::function<bool(std::string_view section, std::string_view key, std::string& out)>;

class CLanguageText {
public:
    // Looks texts up in the table the records select; `lookup`, when given,
    // is asked instead of the table.
    explicit CLanguageText(const ProgramRecords& records, LanguageLookup lookup = {})
        : records_(records), lookup_(std::move(lookup)) {}

    // True and the translation in `out`, in the table's encoding, when a
    // language table is selected and holds the key; false (and `out`
    // untouched) otherwise.
    bool Translate(std::string_view section, std::string_view key, std::string& out) const;

    // How the translations' bytes are to be read when they are shown.
    TextEncoding Encoding() const;

private:
    const ProgramRecords& records_;
    LanguageLookup lookup_;
};

} // namespace mixora
