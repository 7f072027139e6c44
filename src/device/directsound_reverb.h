#pragma once
// The DirectSound road of the environments: for a driver that does not
// answer the EAX listener set, the chosen environment goes as a
// global-reverb record through the property set of the driver's DirectSound
// extension, and the registry remembers the choice. Every command builds
// the DirectSound objects, applies the record and releases them again.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/directsound.h"
#include "platform/guid.h"

namespace mixora {

class CDeviceWindow;
class IMessageBox;
class IRegistry;
struct ProgramRecords;

// The global-reverb records: 0 is "off" (room -10000 mB), 1..23 the
// environments Generic..Under Water. Each is twelve little-endian fields.
inline constexpr int kGlobalReverbRecords = 24;
using GlobalReverbRecord = std::array<std::uint8_t, 48>;
const GlobalReverbRecord& GlobalReverb(int number);

// The registry key the DirectSound road keeps its choice under
// (HKEY_LOCAL_MACHINE): "Settings" the record, "Enabled" 1 or 0.
inline constexpr const char* kSensauraEnvironmentKey = "Software\\Sensaura\\Environment";

// The platform version the driver's registry layout depends on. The Linux
// build presents itself as the NT family (major 5), whose driver keys live
// under the hardware profile.
struct PlatformVersion {
    std::uint32_t major = 5;
    std::uint32_t minor = 1;
};

class CDirectSoundReverb {
public:
    CDirectSoundReverb(IDirectSoundApi& directSound, IRegistry& registry, IMessageBox& messages,
                       ProgramRecords& records, PlatformVersion version = {});
    ~CDirectSoundReverb();

    // Each returns 1 or 0 and shows its own message box on failure.
    int InitDirectSound();
    int QueryGlobalReverbSupport();
    void ReleaseDirectSound();
    // Applies record `frame.m_nDsEnvironment` and remembers it.
    int SetGlobalReverb(CDeviceWindow& frame);
    // Sets `frame.m_nDsEnvironment` from the remembered record (0 for none).
    void ReadDsEnvironment(CDeviceWindow& frame);
    int ConfigureDirectSoundRegistry();
    // Picks the driver's DirectSound device by its description; always
    // asks for the next device.
    bool EnumDsDeviceCallback(const GUID* device, const std::string& description,
                              const std::string& module);

    std::unique_ptr<IDirectSound> m_pDirectSound;
    std::unique_ptr<IDirectSoundBuffer> m_pPrimaryBuffer;
    std::unique_ptr<IDirectSoundBuffer> m_pSecondaryBuffer;
    std::unique_ptr<IKsPropertySet> m_pPropertySet;
    GUID g_dsDeviceGuid{};
    const GUID* g_pDsDeviceGuid = nullptr;

private:
    void Fail(const char* text, const char* caption);
    int WriteDriverKeys(const std::string& prefix);

    IDirectSoundApi& directSound_;
    IRegistry& registry_;
    IMessageBox& messages_;
    ProgramRecords& records_;
    PlatformVersion version_;
};

} // namespace mixora
