#pragma once
// The key lookup shared by skin descriptions, language tables and tooltips.
// It is deliberately not an INI parser: skins and tables in the wild were
// written against exactly this search, so its quirks are kept (see the .cpp).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mixora {

// Looks `key` up in `text` (`length` bytes, not necessarily NUL-terminated)
// below the first occurrence of `section` (the name without brackets).
// True and the value in `out`; false (and `out` untouched) when the text is
// null, the section or key is not found, or the value has 256 or more
// characters. Never reads outside [text, text + length).
bool LookupProfileText(const char* text, std::size_t length, std::string_view section,
                       std::string_view key, std::string& out);

// Reads `text` as hexadecimal, skipping every character that is not a hex
// digit: "0x00DCDCDC" gives 0xDCDCDC, "" gives 0. Wraps at 32 bits.
std::uint32_t ParseHex(std::string_view text);

} // namespace mixora
