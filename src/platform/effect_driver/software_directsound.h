#pragma once
// DirectSound over the software effect driver: one output device besides
// the primary driver, whose buffers hand out a property set that takes the
// Sensaura global-reverb record and gives it to the effect device's reverb.
// No audio flows through these buffers; the program plays through
// GStreamer, where the effect device's state is applied.
#include "platform/directsound.h"

namespace mixora {

class SoftwareEffectDevice;

class SoftwareDirectSound final : public IDirectSoundApi {
public:
    static constexpr GUID kDeviceGuid{
        0x4D69786F, 0x7261, 0x0001, {'S', 'W', 'E', 'F', 'F', 'E', 'C', 'T'}};
    static constexpr const char* kDescription = "Mixora Software Effects (Ostrel global reverb)";
    static constexpr const char* kModule = "mixora-effects";

    // `device` must outlive every object made here.
    explicit SoftwareDirectSound(SoftwareEffectDevice& device) : device_(device) {}

    HRESULT DirectSoundEnumerate(const EnumCallback& callback) override;
    HRESULT DirectSoundCreate(const GUID* device, std::unique_ptr<IDirectSound>* out) override;

private:
    SoftwareEffectDevice& device_;
};

} // namespace mixora
