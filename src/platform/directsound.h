#pragma once
// DirectSound as the environment effects use it: enumerate the output
// devices, create a device object, a primary and a secondary buffer, and
// reach the driver's property sets through the secondary buffer. Objects
// are owned through unique_ptr; dropping one releases it. Everything runs
// on the UI thread and answers at once.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/guid.h"

namespace mixora {

using HRESULT = std::int32_t;
inline constexpr HRESULT DS_OK = 0;
inline constexpr HRESULT DSERR_GENERIC = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT DSERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_PROP_ID_UNSUPPORTED = static_cast<HRESULT>(0x80070490u);
constexpr bool Succeeded(HRESULT hr) {
    return hr >= 0;
}

inline constexpr std::uint32_t DSSCL_EXCLUSIVE = 3;
inline constexpr std::uint32_t DSBCAPS_PRIMARYBUFFER = 0x01;
inline constexpr std::uint32_t DSBCAPS_LOCHARDWARE = 0x04;
inline constexpr std::uint32_t DSBCAPS_CTRL3D = 0x10;
inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;
inline constexpr std::uint32_t KSPROPERTY_SUPPORT_GET = 1;
inline constexpr std::uint32_t KSPROPERTY_SUPPORT_SET = 2;

// The property-set interface a buffer hands out.
inline constexpr GUID IID_IKsPropertySet{
    0x31EFAC30, 0x515C, 0x11D0, {0xA9, 0xAA, 0x00, 0xAA, 0x00, 0x61, 0xBE, 0x93}};
// The Sensaura extension's property set and its global-reverb property,
// whose data is the 48-byte global-reverb record followed by a 32-bit 0.
inline constexpr GUID DSPROPSETID_DirectSoundSensaura{
    0x24A4A6C0, 0x900D, 0x11D1, {0xB9, 0xD1, 0xD9, 0xD0, 0x9B, 0xDE, 0x7E, 0x20}};
inline constexpr std::uint32_t DSPROPERTY_DIRECTSOUNDSENSAURA_GLOBAL_ENVIRONMENT = 6;
inline constexpr std::size_t kGlobalEnvironmentDataSize = 52;

struct WAVEFORMATEX {
    std::uint16_t wFormatTag = 0;
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;
};

struct DSBUFFERDESC {
    std::uint32_t dwSize = 36;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwBufferBytes = 0;
    std::uint32_t dwReserved = 0;
    const WAVEFORMATEX* lpwfxFormat = nullptr; // none for a primary buffer
    GUID guid3DAlgorithm;
};

class IKsPropertySet {
public:
    virtual ~IKsPropertySet() = default;
    // The KSPROPERTY_SUPPORT_* bits of property `id` of `set` in `*support`.
    virtual HRESULT QuerySupport(const GUID& set, std::uint32_t id, std::uint32_t* support) = 0;
    virtual HRESULT Set(const GUID& set, std::uint32_t id,
                        std::span<const std::uint8_t> instanceData,
                        std::span<const std::uint8_t> propertyData) = 0;
};

class IDirectSoundBuffer {
public:
    virtual ~IDirectSoundBuffer() = default;
    // Only IID_IKsPropertySet is asked for; E_NOINTERFACE when the buffer has none.
    virtual HRESULT QueryInterface(const GUID& iid, std::unique_ptr<IKsPropertySet>* out) = 0;
};

class IDirectSound {
public:
    virtual ~IDirectSound() = default;
    // The level for the program's main window.
    virtual HRESULT SetCooperativeLevel(std::uint32_t level) = 0;
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC& desc,
                                      std::unique_ptr<IDirectSoundBuffer>* out) = 0;
};

class IDirectSoundApi {
public:
    virtual ~IDirectSoundApi() = default;
    // Called once per output device: its GUID (null for the primary
    // driver), description and module; returning false stops the listing.
    using EnumCallback = std::function<bool(const GUID* device, const std::string& description,
                                            const std::string& module)>;
    virtual HRESULT DirectSoundEnumerate(const EnumCallback& callback) = 0;
    // A device object on `device`, or on the default device when null.
    virtual HRESULT DirectSoundCreate(const GUID* device, std::unique_ptr<IDirectSound>* out) = 0;
};

} // namespace mixora
