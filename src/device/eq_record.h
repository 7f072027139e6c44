#pragma once
// The driver's 120-byte equalizer record as the program reads it: thirty
// little-endian 32-bit words, the enable mask first, the ten band gains at
// fixed places, the rest the driver's own. Also the band sliders' scale.
#include <array>
#include <cstdint>
#include <span>

// The record's size, its property id (kEqRecordId) and the single-band ids
// (kEqBandIds) are the driver's contract.
#include "platform/ks_properties.h"

namespace mixora {

inline constexpr int kEqBandCount = 10;
// Enable mask: one bit per band; all of them is "on".
inline constexpr std::uint32_t kEqMaskOn = 0x3FF;
// Controls: the on/off button, the preset button and the ten band sliders.
inline constexpr int kEqOnOffControl = 1086;
inline constexpr int kEqPresetControl = 1087;
inline constexpr int kEqFirstBandControl = 1088;

using EqRecord = std::array<std::uint8_t, kEqRecordSize>;

std::uint32_t EqMask(std::span<const std::uint8_t, kEqRecordSize> record);
void SetEqMask(std::span<std::uint8_t, kEqRecordSize> record, std::uint32_t mask);
// Band 0..9.
std::int32_t EqGain(std::span<const std::uint8_t, kEqRecordSize> record, int band);
void SetEqGain(std::span<std::uint8_t, kEqRecordSize> record, int band, std::int32_t gain);

// A band slider runs from fraction 0 at the top (+1200) to 1 at the bottom
// (-1200). The gain truncates toward zero.
std::int32_t GainFromSliderFraction(double fraction);
// Computed in single precision, as the sliders always were, so 0 is
// exactly the middle.
float SliderFractionFromGain(std::int32_t gain);

} // namespace mixora
