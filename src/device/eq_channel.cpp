#include "device/eq_channel.h"

#include "device/property_channel.h"

namespace mixora {

bool CPropertyEqChannel::GetEqProperty(std::uint32_t id, std::span<std::uint8_t> value) {
    // A buffer of the wrong size would let the device write past it.
    if (value.size() != EqPropertySize(id) || !channel_.EnsureDevice()) {
        return false;
    }
    return channel_.GetEqProperty(id, value.data()) != 0;
}

bool CPropertyEqChannel::SetEqProperty(std::uint32_t id, std::span<const std::uint8_t> value) {
    if (value.size() != EqPropertySize(id) || !channel_.EnsureDevice()) {
        return false;
    }
    return channel_.SetEqProperty(id, value.data()) != 0;
}

} // namespace mixora
