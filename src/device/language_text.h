#pragma once
// Translations of the program's fixed texts from the selected language
// table. The table itself belongs to the language subsystem; this asks it
// only when a table is selected.
#include <functional>
#include <string>
#include <string_view>

namespace mixora {

struct ProgramRecords;

// Looks `key` up in `section` of the selected table; true and the value in
// `out` when found.
using LanguageLookup =
    std::function<bool(std::string_view section, std::string_view key, std::string& out)>;

class CLanguageText {
public:
    CLanguageText(const ProgramRecords& records, LanguageLookup lookup)
        : records_(records), lookup_(std::move(lookup)) {}

    // True and the translation in `out` when a language table is selected
    // and holds the key; false (and `out` untouched) otherwise.
    bool Translate(std::string_view section, std::string_view key, std::string& out) const;

private:
    const ProgramRecords& records_;
    LanguageLookup lookup_;
};

} // namespace mixora
