#include "device/language_text.h"

#include "app/program_records.h"

namespace mixora {

bool CLanguageText::Translate(std::string_view section, std::string_view key,
                              std::string& out) const {
    if (records_.g_wLanguage == 0xFFFF || !lookup_) {
        return false;
    }
    std::string value;
    if (!lookup_(section, key, value)) {
        return false;
    }
    out = std::move(value);
    return true;
}

} // namespace mixora
