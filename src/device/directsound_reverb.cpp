#include "device/directsound_reverb.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "device/device_window.h"
#include "device/program_records.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/window_host.h"
#include "skin/skin.h"

namespace mixora {
namespace {

struct ReverbFields {
    std::int32_t lRoom, lRoomHF;
    float flRoomRolloffFactor, flDecayTime, flDecayHFRatio;
    std::int32_t lReflections;
    float flReflectionsDelay;
    std::int32_t lReverb;
    float flReverbDelay, flDiffusion, flDensity, flHFReference;
};

// Room levels and reflections in mB, times in seconds, diffusion and
// density in percent, the HF reference in Hz.
constexpr std::array<ReverbFields, kGlobalReverbRecords> kRecords = {{
    {-10000, -6000, 0, 0.17f, 0.1f, -1204, 0.001f, 207, 0.002f, 100, 100, 5000}, // off
    {0, -100, 0, 1.49f, 0.83f, -2602, 0.007f, 200, 0.011f, 100, 100, 5000},      // Generic
    {0, -6000, 0, 0.17f, 0.1f, -1204, 0.001f, 207, 0.002f, 100, 100, 5000},      // Padded Cell
    {0, -454, 0, 0.4f, 0.83f, -1646, 0.002f, 53, 0.003f, 100, 100, 5000},        // Room
    {0, -1200, 0, 1.49f, 0.54f, -370, 0.007f, 1030, 0.011f, 100, 60, 5000},      // Bathroom
    {0, -6000, 0, 0.5f, 0.1f, -1376, 0.003f, -1104, 0.004f, 100, 100, 5000},     // Livingroom
    {0, -300, 0, 2.31f, 0.64f, -711, 0.012f, 83, 0.017f, 100, 100, 5000},        // Stone Room
    {0, -476, 0, 4.32f, 0.59f, -789, 0.02f, -289, 0.03f, 100, 100, 5000},        // Auditorium
    {0, -500, 0, 3.92f, 0.7f, -1230, 0.02f, -2, 0.029f, 100, 100, 5000},         // Concert Hall
    {0, 0, 0, 2.91f, 1.3f, -602, 0.015f, -302, 0.022f, 100, 100, 5000},          // Cave
    {0, -698, 0, 7.24f, 0.33f, -1166, 0.02f, 16, 0.03f, 100, 100, 5000},         // Arena
    {0, -1000, 0, 10.05f, 0.23f, -602, 0.02f, 198, 0.03f, 100, 100, 5000},       // Hangar
    {0, -4000, 0, 0.3f, 0.1f, -1831, 0.002f, -1630, 0.03f, 100, 100, 5000},      // Carpeted Hallway
    {0, -300, 0, 1.49f, 0.59f, -1219, 0.007f, 441, 0.011f, 100, 100, 5000},      // Hallway
    {0, -237, 0, 2.7f, 0.79f, -1214, 0.013f, 395, 0.02f, 100, 100, 5000},        // Stone Corridor
    {0, -270, 0, 1.49f, 0.86f, -1204, 0.007f, -4, 0.011f, 100, 100, 5000},       // Alley
    {0, -3300, 0, 1.49f, 0.54f, -2560, 0.162f, -613, 0.088f, 79, 100, 5000},     // Forest
    {0, -800, 0, 1.49f, 0.67f, -2273, 0.007f, -2217, 0.011f, 50, 100, 5000},     // City
    {0, -2500, 0, 1.49f, 0.21f, -2780, 0.3f, -2014, 0.1f, 27, 100, 5000},        // Mountains
    {0, -1000, 0, 1.49f, 0.83f, -10000, 0.061f, 500, 0.025f, 100, 100, 5000},    // Quarry
    {0, -2000, 0, 1.49f, 0.5f, -2466, 0.179f, -2514, 0.1f, 21, 100, 5000},       // Plain
    {0, 0, 0, 1.65f, 1.5f, -1363, 0.008f, -1153, 0.012f, 100, 100, 5000},        // Parking Lot
    {0, -1000, 0, 2.81f, 0.14f, 429, 0.014f, 648, 0.021f, 80, 60, 5000},         // Sewer Pipe
    {0, -4000, 0, 1.49f, 0.1f, -449, 0.007f, 1700, 0.011f, 100, 100, 5000},      // Under Water
}};

GlobalReverbRecord Pack(const ReverbFields& f) {
    const std::array<std::uint32_t, 12> words = {
        std::bit_cast<std::uint32_t>(f.lRoom),
        std::bit_cast<std::uint32_t>(f.lRoomHF),
        std::bit_cast<std::uint32_t>(f.flRoomRolloffFactor),
        std::bit_cast<std::uint32_t>(f.flDecayTime),
        std::bit_cast<std::uint32_t>(f.flDecayHFRatio),
        std::bit_cast<std::uint32_t>(f.lReflections),
        std::bit_cast<std::uint32_t>(f.flReflectionsDelay),
        std::bit_cast<std::uint32_t>(f.lReverb),
        std::bit_cast<std::uint32_t>(f.flReverbDelay),
        std::bit_cast<std::uint32_t>(f.flDiffusion),
        std::bit_cast<std::uint32_t>(f.flDensity),
        std::bit_cast<std::uint32_t>(f.flHFReference)};
    GlobalReverbRecord r{};
    for (std::size_t w = 0; w < words.size(); ++w) {
        for (int i = 0; i < 4; ++i) {
            r[4 * w + i] = static_cast<std::uint8_t>(words[w] >> (8 * i));
        }
    }
    return r;
}

const std::array<GlobalReverbRecord, kGlobalReverbRecords>& Records() {
    static const std::array<GlobalReverbRecord, kGlobalReverbRecords> records = [] {
        std::array<GlobalReverbRecord, kGlobalReverbRecords> r{};
        for (std::size_t n = 0; n < r.size(); ++n) {
            r[n] = Pack(kRecords[n]);
        }
        return r;
    }();
    return records;
}

constexpr unsigned kErrorBox = MB_OK | MB_ICONERROR;

// A registry key closed on every way out.
class OpenedKey {
public:
    explicit OpenedKey(IRegistry& registry) : registry_(registry) {}
    ~OpenedKey() {
        if (key_ != 0) {
            registry_.CloseKey(key_);
        }
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    IRegistry& registry_;
    HKEY key_ = 0;
};

LONG SetDword(IRegistry& registry, HKEY key, const char* name, std::uint32_t value) {
    const std::array<std::uint8_t, 4> bytes = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return registry.SetValue(key, name, REG_DWORD, bytes);
}

} // namespace

const GlobalReverbRecord& GlobalReverb(int number) {
    return Records()[static_cast<std::size_t>(std::clamp(number, 0, kGlobalReverbRecords - 1))];
}

CDirectSoundReverb::CDirectSoundReverb(IDirectSoundApi& directSound, IRegistry& registry,
                                       IMessageBox& messages, ProgramRecords& records,
                                       PlatformVersion version)
    : directSound_(directSound), registry_(registry), messages_(messages), records_(records),
      version_(version) {}

CDirectSoundReverb::~CDirectSoundReverb() {
    ReleaseDirectSound();
}

void CDirectSoundReverb::Fail(const char* text, const char* caption) {
    messages_.MessageBox(text, caption, kErrorBox);
}

int CDirectSoundReverb::InitDirectSound() {
    ConfigureDirectSoundRegistry();
    if (g_dsDeviceGuid.IsNull()) {
        directSound_.DirectSoundEnumerate(
            [this](const GUID* device, const std::string& description, const std::string& module) {
                return EnumDsDeviceCallback(device, description, module);
            });
    }
    if (!Succeeded(directSound_.DirectSoundCreate(g_pDsDeviceGuid, &m_pDirectSound)) ||
        !m_pDirectSound) {
        Fail("Unable to get a DirectSound object", "DirectSoundCreate Failure");
        m_pDirectSound.reset();
        return 0;
    }
    if (!Succeeded(m_pDirectSound->SetCooperativeLevel(DSSCL_EXCLUSIVE))) {
        Fail("Could not SetCooperativeLevel()", "Set CooperativeLeve Error");
        m_pDirectSound.reset();
        return 0;
    }
    DSBUFFERDESC primary;
    primary.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    if (!Succeeded(m_pDirectSound->CreateSoundBuffer(primary, &m_pPrimaryBuffer)) ||
        !m_pPrimaryBuffer) {
        Fail("Could not Create Primary Buffer()", "Create Primary failure");
        m_pPrimaryBuffer.reset();
        m_pDirectSound.reset();
        return 0;
    }
    return 1;
}

bool CDirectSoundReverb::EnumDsDeviceCallback(const GUID* device, const std::string& description,
                                              const std::string& /*module*/) {
    // The primary driver comes without a GUID; there is nothing to copy.
    if (device && (description.find("Corvane") != std::string::npos ||
                   description.find("Ostrel") != std::string::npos)) {
        g_dsDeviceGuid = *device;
        g_pDsDeviceGuid = &g_dsDeviceGuid;
    }
    return true;
}

int CDirectSoundReverb::QueryGlobalReverbSupport() {
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 11025;
    format.nAvgBytesPerSec = 44100;
    format.nBlockAlign = 4;
    format.wBitsPerSample = 16;
    DSBUFFERDESC secondary;
    secondary.dwFlags = DSBCAPS_CTRL3D | DSBCAPS_LOCHARDWARE;
    secondary.dwBufferBytes = 1024;
    secondary.lpwfxFormat = &format;
    if (!m_pDirectSound ||
        !Succeeded(m_pDirectSound->CreateSoundBuffer(secondary, &m_pSecondaryBuffer)) ||
        !m_pSecondaryBuffer) {
        Fail("Create secondary for getting property set extention failed",
             "Create secondary failed");
        return 0;
    }
    if (!Succeeded(m_pSecondaryBuffer->QueryInterface(IID_IKsPropertySet, &m_pPropertySet)) ||
        !m_pPropertySet) {
        Fail("Couldn't QI for Property set interface", "QI PropertySet failed");
        return 0;
    }
    std::uint32_t support = 0;
    if (!Succeeded(m_pPropertySet->QuerySupport(DSPROPSETID_DirectSoundSensaura,
                                                DSPROPERTY_DIRECTSOUNDSENSAURA_GLOBAL_ENVIRONMENT,
                                                &support))) {
        Fail("Query support call failure",
             "Driver does not support DSPROPSETID_DirectSoundSensaura property set");
        return 0;
    }
    if ((support & KSPROPERTY_SUPPORT_SET) == 0) {
        Fail("can't set property in Property set interface",
             "No DSPROPERTY_DIRECTSOUNDSENSAURA_GLOBAL_ENVIRONMENT Support");
        return 0;
    }
    return 1;
}

void CDirectSoundReverb::ReleaseDirectSound() {
    m_pPropertySet.reset();
    m_pSecondaryBuffer.reset();
    m_pPrimaryBuffer.reset();
    m_pDirectSound.reset();
}

int CDirectSoundReverb::SetGlobalReverb(CDeviceWindow& frame) {
    if (!InitDirectSound()) {
        return 0;
    }
    if (!QueryGlobalReverbSupport()) {
        ReleaseDirectSound();
        return 0;
    }
    const GlobalReverbRecord& record = GlobalReverb(frame.m_nDsEnvironment);
    std::array<std::uint8_t, kGlobalEnvironmentDataSize> data{};
    std::copy(record.begin(), record.end(), data.begin());
    if (!Succeeded(m_pPropertySet->Set(DSPROPSETID_DirectSoundSensaura,
                                       DSPROPERTY_DIRECTSOUNDSENSAURA_GLOBAL_ENVIRONMENT, {},
                                       data))) {
        Fail("Could not Set Global Reverb", "Set Global Reverb");
        ReleaseDirectSound();
        return 0;
    }
    {
        OpenedKey key(registry_);
        if (registry_.CreateKey(HKEY_LOCAL_MACHINE, kSensauraEnvironmentKey, key.Out()) ==
            ERROR_SUCCESS) {
            registry_.SetValue(key.Get(), "Settings", REG_BINARY, record);
            SetDword(registry_, key.Get(), "Enabled", frame.m_nDsEnvironment != 0 ? 1 : 0);
        }
    }
    ReleaseDirectSound();
    return 1;
}

void CDirectSoundReverb::ReadDsEnvironment(CDeviceWindow& frame) {
    frame.m_nDsEnvironment = 0;
    OpenedKey key(registry_);
    if (registry_.CreateKey(HKEY_LOCAL_MACHINE, kSensauraEnvironmentKey, key.Out()) !=
        ERROR_SUCCESS) {
        return;
    }
    std::array<std::uint8_t, 4> enabled{};
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(enabled.size());
    if (registry_.QueryValue(key.Get(), "Enabled", &type, enabled.data(), &size) != ERROR_SUCCESS ||
        enabled == std::array<std::uint8_t, 4>{}) {
        return;
    }
    GlobalReverbRecord settings{};
    size = static_cast<DWORD>(settings.size());
    registry_.QueryValue(key.Get(), "Settings", &type, settings.data(), &size);
    // The room level is not compared: a record whose only difference is
    // its overall level is still that environment.
    for (int n = 1; n < kGlobalReverbRecords; ++n) {
        const GlobalReverbRecord& candidate = GlobalReverb(n);
        if (std::equal(settings.begin() + 4, settings.end(), candidate.begin() + 4)) {
            frame.m_nDsEnvironment = n;
            return;
        }
    }
}

int CDirectSoundReverb::WriteDriverKeys(const std::string& prefix) {
    {
        OpenedKey presence(registry_);
        if (registry_.CreateKey(HKEY_LOCAL_MACHINE, prefix + "\\DirectSound\\Device Presence",
                                presence.Out()) != ERROR_SUCCESS ||
            SetDword(registry_, presence.Get(), "VxD", 1) != ERROR_SUCCESS ||
            SetDword(registry_, presence.Get(), "WDM", 1) != ERROR_SUCCESS) {
            return 0;
        }
    }
    OpenedKey defaults(registry_);
    if (registry_.CreateKey(HKEY_LOCAL_MACHINE, prefix + "\\DirectSound\\Mixer Defaults",
                            defaults.Out()) != ERROR_SUCCESS ||
        SetDword(registry_, defaults.Get(), "Acceleration", 0) != ERROR_SUCCESS) {
        return 0;
    }
    return 1;
}

int CDirectSoundReverb::ConfigureDirectSoundRegistry() {
    if (!records_.g_instanceId) {
        return 0;
    }
    const std::string& instanceId = *records_.g_instanceId;
    if (version_.major > 4) {
        return WriteDriverKeys("System\\CurrentControlSet\\Hardware "
                               "Profiles\\Current\\System\\CurrentControlSet\\Enum\\" +
                               instanceId);
    }
    std::string driver;
    {
        OpenedKey key(registry_);
        if (registry_.OpenKey(HKEY_LOCAL_MACHINE, "Enum\\" + instanceId, key.Out()) !=
            ERROR_SUCCESS) {
            return 0;
        }
        std::array<std::uint8_t, 16> text{};
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(text.size());
        if (registry_.QueryValue(key.Get(), "Driver", &type, text.data(), &size) != ERROR_SUCCESS) {
            return 0;
        }
        const auto end =
            std::find(text.begin(), text.begin() + std::min<DWORD>(size, 16), std::uint8_t{0});
        driver.assign(text.begin(), end);
    }
    return WriteDriverKeys("System\\CurrentControlSet\\Services\\Class\\" + driver);
}

} // namespace mixora
