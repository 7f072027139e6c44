#pragma once
// A 128-bit interface or property-set identifier, kept in the memory layout
// drivers and device interfaces exchange: a 32-bit, two 16-bit little-endian
// numbers, then eight bytes as they are.
#include <array>
#include <cstdint>
#include <span>

namespace mixora {

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};

    friend bool operator==(const GUID&, const GUID&) = default;

    bool IsNull() const { return *this == GUID{}; }

    // The 16 bytes as they lie in memory on the wire.
    std::array<std::uint8_t, 16> Bytes() const {
        std::array<std::uint8_t, 16> b{};
        for (int i = 0; i < 4; ++i) {
            b[i] = static_cast<std::uint8_t>(Data1 >> (8 * i));
        }
        b[4] = static_cast<std::uint8_t>(Data2);
        b[5] = static_cast<std::uint8_t>(Data2 >> 8);
        b[6] = static_cast<std::uint8_t>(Data3);
        b[7] = static_cast<std::uint8_t>(Data3 >> 8);
        for (int i = 0; i < 8; ++i) {
            b[8 + i] = Data4[i];
        }
        return b;
    }

    static GUID FromBytes(std::span<const std::uint8_t, 16> b) {
        GUID g;
        g.Data1 = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                  static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
        g.Data2 = static_cast<std::uint16_t>(b[4] | b[5] << 8);
        g.Data3 = static_cast<std::uint16_t>(b[6] | b[7] << 8);
        for (int i = 0; i < 8; ++i) {
            g.Data4[i] = b[8 + i];
        }
        return g;
    }
};

} // namespace mixora
