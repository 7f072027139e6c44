#pragma once
// How the bytes of a text handed to the host are to be read. The core keeps
// every text as the bytes it came as: file names and the built-in English
// texts are UTF-8, translations are in the encoding of their language table.
// Only the host, where a text reaches the screen, turns them into characters.
#include <cstdint>

namespace mixora {

enum class TextEncoding : std::uint8_t {
    Utf8,
    Big5,   // Traditional Chinese table (code page 950)
    Gb2312, // Simplified Chinese table (code page 936)
};

} // namespace mixora
