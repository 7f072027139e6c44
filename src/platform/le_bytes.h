#pragma once
// Little-endian words in byte buffers: the order of every record the program
// reads or writes (bitmaps, resource libraries, property values, the
// equalizer record). The caller guarantees the bytes are there.
#include <cstddef>
#include <cstdint>
#include <span>

namespace mixora {

inline std::uint16_t GetLe16(std::span<const std::uint8_t> b) {
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

inline std::uint32_t GetLe32(std::span<const std::uint8_t> b) {
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

inline void PutLe32(std::span<std::uint8_t> b, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        b[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

} // namespace mixora
