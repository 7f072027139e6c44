#include "platform/effect_driver/software_directsound.h"

#include "platform/effect_driver/software_effect_device.h"

namespace mixora {
namespace {

class GlobalReverbPropertySet final : public IKsPropertySet {
public:
    explicit GlobalReverbPropertySet(SoftwareEffectDevice& device) : device_(device) {}

    HRESULT QuerySupport(const GUID& set, std::uint32_t id, std::uint32_t* support) override {
        if (set != DSPROPSETID_DirectSoundSensaura ||
            id != DSPROPERTY_DIRECTSOUNDSENSAURA_GLOBAL_ENVIRONMENT) {
            return E_PROP_ID_UNSUPPORTED;
        }
        *support = KSPROPERTY_SUPPORT_SET;
        return DS_OK;
    }

    HRESULT Set(const GUID& set, std::uint32_t id, std::span<const std::uint8_t> /*instanceData*/,
                std::span<const std::uint8_t> propertyData) override {
        if (set != DSPROPSETID_DirectSoundSensaura ||
            id != DSPROPERTY_DIRECTSOUNDSENSAURA_GLOBAL_ENVIRONMENT) {
            return E_PROP_ID_UNSUPPORTED;
        }
        if (propertyData.size() < kGlobalReverbSize) {
            return DSERR_INVALIDPARAM;
        }
        device_.ApplyGlobalReverb(propertyData.first<kGlobalReverbSize>());
        return DS_OK;
    }

private:
    SoftwareEffectDevice& device_;
};

class SoftwareBuffer final : public IDirectSoundBuffer {
public:
    SoftwareBuffer(SoftwareEffectDevice& device, bool primary)
        : device_(device), primary_(primary) {}

    HRESULT QueryInterface(const GUID& iid, std::unique_ptr<IKsPropertySet>* out) override {
        // Property sets live on secondary buffers only, as on the hardware.
        if (iid != IID_IKsPropertySet || primary_) {
            return E_NOINTERFACE;
        }
        *out = std::make_unique<GlobalReverbPropertySet>(device_);
        return DS_OK;
    }

private:
    SoftwareEffectDevice& device_;
    bool primary_;
};

class SoftwareDevice final : public IDirectSound {
public:
    explicit SoftwareDevice(SoftwareEffectDevice& device) : device_(device) {}

    HRESULT SetCooperativeLevel(std::uint32_t level) override {
        return level >= 1 && level <= 4 ? DS_OK : DSERR_INVALIDPARAM;
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC& desc,
                              std::unique_ptr<IDirectSoundBuffer>* out) override {
        if (desc.dwSize != 36) {
            return DSERR_INVALIDPARAM;
        }
        const bool primary = (desc.dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
        if (!primary) {
            const WAVEFORMATEX* f = desc.lpwfxFormat;
            if (!f || f->wFormatTag != WAVE_FORMAT_PCM || f->nChannels == 0 || f->nChannels > 2 ||
                desc.dwBufferBytes == 0) {
                return DSERR_INVALIDPARAM;
            }
        }
        *out = std::make_unique<SoftwareBuffer>(device_, primary);
        return DS_OK;
    }

private:
    SoftwareEffectDevice& device_;
};

} // namespace

HRESULT SoftwareDirectSound::DirectSoundEnumerate(const EnumCallback& callback) {
    if (!callback(nullptr, "Primary Sound Driver", "")) {
        return DS_OK;
    }
    callback(&kDeviceGuid, kDescription, kModule);
    return DS_OK;
}

HRESULT SoftwareDirectSound::DirectSoundCreate(const GUID* device,
                                               std::unique_ptr<IDirectSound>* out) {
    // The default device is this one too: it is the only output there is.
    if (device && *device != kDeviceGuid) {
        return DSERR_GENERIC;
    }
    *out = std::make_unique<SoftwareDevice>(device_);
    return DS_OK;
}

} // namespace mixora
