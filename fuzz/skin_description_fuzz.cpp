// The skin description (SKININFO) of a package: every key the window reads
// from it, looked up the way a skin load does.
#include <cstdint>
#include <string>
#include <vector>

#include "skin/profile_text.h"

using namespace mixora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<char> text(data, data + size);
    static const char* const kKeys[][2] = {
        {"FontColor", "NameColor"},       {"FontColor", "PLColor"},
        {"FontColor", "SelectedPLColor"}, {"FontColor", "PlayingPLColor"},
        {"ScrollType", "PLScrollType"},   {"ScrollType", "PLScrollReverse"},
    };
    for (const auto& [section, key] : kKeys) {
        std::string value;
        if (LookupProfileText(text.data(), text.size(), section, key, value)) {
            ParseHex(value);
        }
    }
    return 0;
}
