#pragma once
// The kernel-streaming property requests the effect driver answers: the
// request header, the interface class its device is listed under and the
// four property sets with their ids and value sizes. This is the contract
// between the program and whatever driver stands behind the wave interface.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/guid.h"

namespace mixora {

// IOCTL_KS_PROPERTY: device type 0x2F, function 0, METHOD_NEITHER, any access.
inline constexpr std::uint32_t IOCTL_KS_PROPERTY = 0x002F0003;
inline constexpr std::uint32_t KSPROPERTY_TYPE_GET = 1;
inline constexpr std::uint32_t KSPROPERTY_TYPE_SET = 2;

// The class audio devices list their interfaces under.
inline constexpr GUID KSCATEGORY_AUDIO{
    0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

// EAX 2.0 listener properties: ids 0..15; id 1 the whole 56-byte record,
// ids 2..15 one 4-byte field each.
inline constexpr GUID DSPROPSETID_EAX20_ListenerProperties{
    0x0306A6A8, 0xB224, 0x11D2, {0x99, 0xE5, 0x00, 0x00, 0xE8, 0xD8, 0xC7, 0x22}};
// Karaoke: ids 0 and 1, signed 32-bit.
inline constexpr GUID KSPROPSETID_Karaoke{
    0x9B339460, 0x620E, 0x11D4, {0x95, 0x65, 0x6B, 0x1F, 0x3D, 0x29, 0x29, 0x5E}};
// The driver's private EAX switch: id 0, unsigned 32-bit.
inline constexpr GUID KSPROPSETID_PrivateEax{
    0x9B339461, 0x620E, 0x11D4, {0x95, 0x65, 0x6B, 0x1F, 0x3D, 0x29, 0x29, 0x5E}};
// Equalizer: ids 0..38 signed 32-bit, id 39 the 120-byte record.
inline constexpr GUID KSPROPSETID_Equalizer{
    0x99B866DA, 0xDEB4, 0x40ED, {0x92, 0xEE, 0x87, 0xE8, 0xCC, 0x9C, 0x32, 0xC7}};

inline constexpr std::uint32_t DSPROPERTY_EAXLISTENER_NONE = 0;
inline constexpr std::uint32_t DSPROPERTY_EAXLISTENER_ALLPARAMETERS = 1;
inline constexpr std::uint32_t DSPROPERTY_EAXLISTENER_ENVIRONMENT = 11;
inline constexpr std::uint32_t DSPROPERTY_EAXLISTENER_FLAGS = 15;
inline constexpr std::uint32_t kEaxListenerIdCount = 16;

inline constexpr std::uint32_t PROPERTY_Ostrel_VoiceCancel = 0;
inline constexpr std::uint32_t PROPERTY_Ostrel_PitchShift = 1;
inline constexpr std::uint32_t PROPERTY_Ostrel_KaraokMax = 2;
inline constexpr std::uint32_t PROPERTY_Ostrel_EaxEnable = 0;
inline constexpr std::uint32_t PROPERTY_Ostrel_EaxOptionMax = 1;

inline constexpr std::uint32_t kEqRecordId = 39;
inline constexpr std::uint32_t kEqIdCount = 40;
inline constexpr std::size_t kEqRecordSize = 120;
inline constexpr std::size_t kEaxListenerSize = 56;
// Property ids of the ten band gains, band 1 first.
inline constexpr std::array<std::uint32_t, 10> kEqBandIds = {1, 4, 8, 12, 16, 20, 24, 28, 32, 36};
// Where those gains sit in the equalizer record: band 1 eight bytes before
// band 2, the rest twelve apart.
inline constexpr std::array<std::size_t, 10> kEqGainOffsets = {4,  12, 24, 36, 48,
                                                               60, 72, 84, 96, 108};

// The EAX 2.0 listener record (DSPROPERTY_EAXLISTENER_ALLPARAMETERS) as it
// travels over the property channel: 56 bytes, native order.
struct EaxListenerRecord {
    std::int32_t lRoom = -10000;
    std::int32_t lRoomHF = 0;
    float flRoomRolloffFactor = 0.0f;
    float flDecayTime = 1.49f;
    float flDecayHFRatio = 0.83f;
    std::int32_t lReflections = -2602;
    float flReflectionsDelay = 0.007f;
    std::int32_t lReverb = 200;
    float flReverbDelay = 0.011f;
    std::uint32_t dwEnvironment = 0;
    float flEnvironmentSize = 7.5f;
    float flEnvironmentDiffusion = 1.0f;
    float flAirAbsorptionHF = -5.0f;
    std::uint32_t dwFlags = 0x3F;
};
static_assert(sizeof(EaxListenerRecord) == kEaxListenerSize);

// The 24-byte KSPROPERTY header: set, id, flags.
struct KsProperty {
    GUID set;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;

    std::array<std::uint8_t, 24> Bytes() const {
        std::array<std::uint8_t, 24> b{};
        const auto g = set.Bytes();
        for (std::size_t i = 0; i < g.size(); ++i) {
            b[i] = g[i];
        }
        for (int i = 0; i < 4; ++i) {
            b[16 + i] = static_cast<std::uint8_t>(id >> (8 * i));
            b[20 + i] = static_cast<std::uint8_t>(flags >> (8 * i));
        }
        return b;
    }

    // Nothing when `bytes` is not exactly one header.
    static std::optional<KsProperty> Parse(std::span<const std::uint8_t> bytes) {
        if (bytes.size() != 24) {
            return std::nullopt;
        }
        KsProperty p;
        p.set = GUID::FromBytes(bytes.first<16>());
        for (int i = 0; i < 4; ++i) {
            p.id |= static_cast<std::uint32_t>(bytes[16 + i]) << (8 * i);
            p.flags |= static_cast<std::uint32_t>(bytes[20 + i]) << (8 * i);
        }
        return p;
    }
};

} // namespace mixora
