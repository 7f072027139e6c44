#pragma once
// The equalizer's way to the effect device: the equalizer get and set of the
// property channel. Each makes sure the device is held first and leaves it
// held; a failure is never shown to the user.
#include <cstdint>
#include <span>

#include "platform/ks_properties.h"

namespace mixora {

class CPropertyChannel;

class IEqChannel {
public:
    virtual ~IEqChannel() = default;
    // Reads equalizer property `id` into `value`: the 120-byte record for id
    // 39, one 32-bit value for the others. False, with `value` untouched or
    // partly written, when the device cannot be reached or refuses.
    virtual bool GetEqProperty(std::uint32_t id, std::span<std::uint8_t> value) = 0;
    // Sends `value` (sized as above) as equalizer property `id`.
    virtual bool SetEqProperty(std::uint32_t id, std::span<const std::uint8_t> value) = 0;
};

// Over the program's property channel.
class CPropertyEqChannel final : public IEqChannel {
public:
    explicit CPropertyEqChannel(CPropertyChannel& channel) : channel_(channel) {}
    bool GetEqProperty(std::uint32_t id, std::span<std::uint8_t> value) override;
    bool SetEqProperty(std::uint32_t id, std::span<const std::uint8_t> value) override;

private:
    CPropertyChannel& channel_;
};

// The size a value of equalizer property `id` has.
constexpr std::size_t EqPropertySize(std::uint32_t id) {
    return id == kEqRecordId ? kEqRecordSize : 4;
}

} // namespace mixora
