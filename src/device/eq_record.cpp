#include "device/eq_record.h"

#include <cmath>

#include "platform/le_bytes.h"

namespace mixora {

std::uint32_t EqMask(std::span<const std::uint8_t, kEqRecordSize> record) {
    return GetLe32(record.subspan(0, 4));
}

void SetEqMask(std::span<std::uint8_t, kEqRecordSize> record, std::uint32_t mask) {
    PutLe32(record.subspan(0, 4), mask);
}

std::int32_t EqGain(std::span<const std::uint8_t, kEqRecordSize> record, int band) {
    return static_cast<std::int32_t>(
        GetLe32(record.subspan(kEqGainOffsets[static_cast<std::size_t>(band)], 4)));
}

void SetEqGain(std::span<std::uint8_t, kEqRecordSize> record, int band, std::int32_t gain) {
    PutLe32(record.subspan(kEqGainOffsets[static_cast<std::size_t>(band)], 4),
            static_cast<std::uint32_t>(gain));
}

std::int32_t GainFromSliderFraction(double fraction) {
    return 1200 - static_cast<std::int32_t>(std::trunc(fraction * 2400.0));
}

float SliderFractionFromGain(std::int32_t gain) {
    return static_cast<float>(1200 - gain) * 0.00041666667f;
}

} // namespace mixora
