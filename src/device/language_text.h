#pragma once
// Translations of the program's fixed texts from the selected language
// table, asked only when a table is selected.
#include <functional>
#include <string>
#include <string_view>

namespace mixora {

class IResourceModule;
struct ProgramRecords;

// Looks `key` up in `section` of the selected table; true and the value in
// `out` when found.
using LanguageLookup =
    std::function<bool(std::string_view section, std::string_view key, std::string& out)>;

class CLanguageText {
public:
    // Reads the table of the selected language (g_wLanguage) from the
    // program's resources: 160 for Chinese as used in the People's Republic,
    // 159 for the other Chinese languages. `lookup`, when given, is asked
    // instead.
    CLanguageText(const ProgramRecords& records, const IResourceModule& resources,
                  LanguageLookup lookup = {})
        : records_(records), resources_(resources), lookup_(std::move(lookup)) {}

    // True and the translation in `out` when a language table is selected
    // and holds the key; false (and `out` untouched) otherwise.
    bool Translate(std::string_view section, std::string_view key, std::string& out) const;

private:
    const ProgramRecords& records_;
    const IResourceModule& resources_;
    LanguageLookup lookup_;
};

} // namespace mixora
