#pragma once
// The effect state the software effect driver holds and applies: the
// equalizer record, the EAX 2.0 listener, the reverb switch and karaoke.
#include <array>
#include <cstdint>

namespace mixora {

// The EAX 2.0 listener property block, 56 bytes, as the property channel
// exchanges it.
struct EaxListener {
    std::int32_t lRoom = -10000;         // mB, -10000..0
    std::int32_t lRoomHF = 0;            // mB, -10000..0
    float flRoomRolloffFactor = 0.0f;    // 0..10
    float flDecayTime = 1.49f;           // s, 0.1..20
    float flDecayHFRatio = 0.83f;        // 0.1..2
    std::int32_t lReflections = -2602;   // mB, -10000..1000
    float flReflectionsDelay = 0.007f;   // s, 0..0.3
    std::int32_t lReverb = 200;          // mB, -10000..2000
    float flReverbDelay = 0.011f;        // s, 0..0.1
    std::uint32_t dwEnvironment = 0;     // environment index 0..25
    float flEnvironmentSize = 7.5f;      // m, 1..100
    float flEnvironmentDiffusion = 1.0f; // 0..1
    float flAirAbsorptionHF = -5.0f;     // mB per metre, -100..0
    std::uint32_t dwFlags = 0x3F;
};
static_assert(sizeof(EaxListener) == 56, "the listener record is 56 bytes");

struct EffectState {
    // Equalizer record: enable mask (0 or 0x3FF) at byte 0, band gains
    // -1200..1200 (hundredths of a dB) at 4, 12, 24, ..., 108; the other
    // words are the driver's own.
    std::array<std::uint8_t, 120> eq{};
    EaxListener listener;
    std::uint32_t eaxEnable = 0;  // the reverb is applied while not 0
    std::int32_t voiceCancel = 0; // centre removal while not 0
    std::int32_t pitchShift = 0;  // key shift, -4..4 semitones
};

// Byte offsets of the ten band gains in the equalizer record.
inline constexpr std::array<int, 10> kEqBandOffsets = {4, 12, 24, 36, 48, 60, 72, 84, 96, 108};
// Centre frequencies of the ten bands, Hz.
inline constexpr std::array<double, 10> kEqBandFrequencies = {100,  200,  400,   600,   1000,
                                                              3000, 6000, 12000, 14000, 16000};

} // namespace mixora
