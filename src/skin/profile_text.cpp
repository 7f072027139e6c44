#include "skin/profile_text.h"

namespace mixora {

namespace {

constexpr std::size_t kMaxValueLength = 256;

} // namespace

bool LookupProfileText(const char* text, std::size_t length, std::string_view section,
                       std::string_view key, std::string& out) {
    if (text == nullptr) {
        return false;
    }
    const std::string_view all(text, length);

    // The section name is found as plain text anywhere, brackets or not, and
    // the key anywhere after it: a key missing from its own section is taken
    // from a later one. Skins depend on this, so it stays.
    const std::size_t sectionAt = all.find(section);
    if (sectionAt == std::string_view::npos) {
        return false;
    }
    std::size_t keyAt = all.find(key, sectionAt);
    if (keyAt == std::string_view::npos) {
        return false;
    }
    // A key not at the start of a line may be the tail of a longer key
    // ("PLColor" in "SelectedPLColor"): look once more, and take whatever
    // that finds. An occurrence in the first two bytes has no line before it
    // and counts as not at a line start.
    const bool atLineStart = keyAt >= 2 && all[keyAt - 2] == '\r' && all[keyAt - 1] == '\n';
    if (!atLineStart) {
        keyAt = all.find(key, keyAt + key.size());
        if (keyAt == std::string_view::npos) {
            return false;
        }
    }

    std::size_t valueAt = keyAt + key.size();
    while (valueAt < all.size() && all[valueAt] == '=') {
        ++valueAt;
    }
    std::size_t valueEnd = valueAt;
    while (valueEnd < all.size() && all[valueEnd] != '\r' && all[valueEnd] != '\n' &&
           all[valueEnd] != '\0') {
        ++valueEnd;
    }
    if (valueEnd - valueAt >= kMaxValueLength) {
        return false;
    }
    out.assign(all.substr(valueAt, valueEnd - valueAt));
    return true;
}

std::uint32_t ParseHex(std::string_view text) {
    std::uint32_t value = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            value = value * 16 + static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            value = value * 16 + static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            value = value * 16 + static_cast<std::uint32_t>(c - 'A' + 10);
        }
    }
    return value;
}

} // namespace mixora
