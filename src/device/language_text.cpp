#include "device/language_text.h"

#include "device/program_records.h"
#include "skin/profile_text.h"
#include "skin/resource_source.h"

namespace mixora {

bool CLanguageText::Translate(std::string_view section, std::string_view key,
                              std::string& out) const {
    const std::uint16_t language = records_.g_wLanguage;
    if (language == 0xFFFF) {
        return false;
    }
    std::string value;
    if (lookup_) {
        if (!lookup_(section, key, value)) {
            return false;
        }
    } else {
        const int tableId = (language & ~0x3FF) == 0x0800 ? 160 : 159;
        auto table = resources_.FindResource("LANG", ResourceName::Id(tableId));
        if (!table || !LookupProfileText(reinterpret_cast<const char*>(table->data()),
                                         table->size(), section, key, value)) {
            return false;
        }
    }
    out = std::move(value);
    return true;
}

} // namespace mixora
