// Profile text lookup (language tables, tooltips): a section and a key taken
// from the input are looked up in the rest of it, which is not NUL-ended.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "skin/profile_text.h"

using namespace mixora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader in(data, size);
    const std::string section = in.Text(32);
    const std::string key = in.Text(32);
    // An exact-size copy so that AddressSanitizer sees any read past the end.
    const std::string_view body = in.RestText();
    std::vector<char> text(body.begin(), body.end());
    std::string value;
    if (LookupProfileText(text.data(), text.size(), section, key, value)) {
        if (value.size() >= 256) {
            std::abort();
        }
        ParseHex(value);
    }
    ParseHex(body);
    return 0;
}
