#include "device/property_channel.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "device/device_window.h"
#include "device/directsound_reverb.h"
#include "device/program_records.h"
#include "platform/device_install.h"
#include "platform/ks_properties.h"
#include "platform/system_info.h"
#include "platform/window_host.h"
#include "skin/skin.h"

namespace mixora {
namespace {

// The scale flags of an environment change (decay time, reflections and
// their delay, reverb and its delay) with the decay-HF limit clear.
constexpr std::uint32_t kEnvironmentFlags = 0x1F;

// CharUpperA on the texts the system hands out: plain ASCII letters.
std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return text;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

CPropertyChannel::CPropertyChannel(IDeviceInstall& devices, IDebugOutput& debug,
                                   ProgramRecords& records, CDirectSoundReverb* directSound)
    : devices_(devices), debug_(debug), records_(records), directSound_(directSound) {}

// ---- discovery ------------------------------------------------------------

int CPropertyChannel::FindAudioDevice(const GUID& interfaceClass, const std::string& pattern,
                                      std::optional<std::string>& devicePath) {
    const HDEVINFO list = devices_.GetClassDevs(interfaceClass);
    if (list == 0) {
        debug_.OutputDebugString("SetupDiGetClassDevs() Fail\n");
        return 0;
    }

    const std::string wanted = Upper(pattern);
    std::optional<std::string> instanceId;
    std::uint32_t device = 0;
    for (; devices_.EnumDeviceInfo(list, device); ++device) {
        std::string id;
        if (!devices_.GetDeviceInstanceId(list, device, &id)) {
            debug_.OutputDebugString("SetupDiGetDeviceInstanceId() Fail\n");
            break;
        }
        id = Upper(id);
        if (Contains(id, wanted)) {
            instanceId = std::move(id);
            break;
        }
    }
    if (!instanceId) {
        debug_.OutputDebugString("Not found!!!\n");
        devices_.DestroyDeviceInfoList(list);
        return 0;
    }

    debug_.OutputDebugString("Found it!!!\n");
    for (std::uint32_t index = 0;
         devices_.EnumDeviceInterfaces(list, device, interfaceClass, index); ++index) {
        std::string path;
        if (!devices_.GetDeviceInterfaceDetail(list, device, interfaceClass, index, &path)) {
            debug_.OutputDebugString("SetupDiGetDeviceInterfaceDetail() Fail\n");
            devices_.DestroyDeviceInfoList(list);
            return 0;
        }
        // Paths name their interface at the end ("...\wave", "...\topology");
        // only the wave interface answers the effect properties. The path is
        // kept as the system spells it: only the test ignores case.
        if (Contains(Upper(path), "WAVE")) {
            devicePath = std::move(path);
            records_.g_instanceId = std::move(instanceId);
            devices_.DestroyDeviceInfoList(list);
            return 1;
        }
    }
    devices_.DestroyDeviceInfoList(list);
    return 0;
}

int CPropertyChannel::EnsureDevice() {
    if (g_devicePath) {
        return 1;
    }
    const std::size_t entry = static_cast<std::size_t>(g_hwIdIndex);
    if (entry >= kHardwareIds.size()) {
        return 0;
    }
    return FindAudioDevice(KSCATEGORY_AUDIO, kHardwareIds[entry], g_devicePath);
}

void CPropertyChannel::ReleaseDevice() {
    g_devicePath.reset();
}

// ---- requests -------------------------------------------------------------

int CPropertyChannel::Request(const std::optional<std::string>& path, const GUID& set,
                              std::uint32_t id, std::uint32_t flags, std::span<std::uint8_t> value,
                              bool sendNothing, const Messages& messages) {
    const HANDLE device = path ? devices_.CreateFile(*path) : 0;
    if (device == 0) {
        if (messages.openFailed) {
            debug_.OutputDebugString(messages.openFailed);
        }
        return 0;
    }
    bool done = true;
    if (!sendNothing) {
        const auto header = KsProperty{set, id, flags}.Bytes();
        done = devices_.DeviceIoControl(device, IOCTL_KS_PROPERTY, header, value);
    }
    devices_.CloseHandle(device);
    if (!done) {
        if (messages.requestFailed) {
            debug_.OutputDebugString(messages.requestFailed);
        }
        return 0;
    }
    return 1;
}

int CPropertyChannel::EaxRequest(const std::optional<std::string>& path, std::uint32_t id,
                                 std::uint32_t flags, void* value, const Messages& messages) {
    if (id >= kEaxListenerIdCount) {
        return 0;
    }
    const std::size_t size = id == DSPROPERTY_EAXLISTENER_ALLPARAMETERS ? kEaxListenerSize : 4;
    const bool none = id == DSPROPERTY_EAXLISTENER_NONE;
    std::span<std::uint8_t> bytes =
        none ? std::span<std::uint8_t>{} : std::span(static_cast<std::uint8_t*>(value), size);
    return Request(path, DSPROPSETID_EAX20_ListenerProperties, id, flags, bytes, none, messages);
}

int CPropertyChannel::GetEaxProperties(std::uint32_t id, void* value) {
    return EaxRequest(g_devicePath, id, KSPROPERTY_TYPE_GET, value,
                      {nullptr, "GetEaxProperties() fail from calling DeviceIoControl()\n"});
}

int CPropertyChannel::SetEaxProperties(std::uint32_t id, const void* value) {
    // The driver only reads a set's value; a copy keeps the caller's const.
    std::array<std::uint8_t, kEaxListenerSize> copy{};
    if (id < kEaxListenerIdCount && id != DSPROPERTY_EAXLISTENER_NONE) {
        std::memcpy(copy.data(), value,
                    id == DSPROPERTY_EAXLISTENER_ALLPARAMETERS ? kEaxListenerSize : 4);
    }
    return EaxRequest(g_devicePath, id, KSPROPERTY_TYPE_SET, copy.data(),
                      {"SetEaxProperties() fail from calling CreateFile()\n",
                       "SetEaxProperties() fail from calling- DeviceIoControl()\n"});
}

int CPropertyChannel::GetKaraokProperty(std::uint32_t id, std::int32_t* value) {
    if (id >= PROPERTY_Ostrel_KaraokMax) {
        return 0;
    }
    std::array<std::uint8_t, 4> bytes{};
    const int done =
        Request(g_devicePath, KSPROPSETID_Karaoke, id, KSPROPERTY_TYPE_GET, bytes, false,
                {"GetKaraokProperty() fail from caliing CreateFile()\n",
                 "GetKaraokProperty() fail from calling DeviceIoControl()\n"});
    if (done) {
        std::memcpy(value, bytes.data(), 4);
    }
    return done;
}

int CPropertyChannel::SetKaraokProperty(std::uint32_t id, std::int32_t value) {
    if (id >= PROPERTY_Ostrel_KaraokMax) {
        return 0;
    }
    std::array<std::uint8_t, 4> bytes{};
    std::memcpy(bytes.data(), &value, 4);
    return Request(g_devicePath, KSPROPSETID_Karaoke, id, KSPROPERTY_TYPE_SET, bytes, false,
                   {"SetKaraokProperty() fail from calling CreateFile()\n",
                    "SetKaraokProperty() fail from calling DeviceIoControl()\n"});
}

int CPropertyChannel::GetOstrelEaxProperty(std::uint32_t id, std::uint32_t* value) {
    if (id >= PROPERTY_Ostrel_EaxOptionMax) {
        return 0;
    }
    std::array<std::uint8_t, 4> bytes{};
    const int done =
        Request(g_devicePath, KSPROPSETID_PrivateEax, id, KSPROPERTY_TYPE_GET, bytes, false,
                {"GetOstrelEaxProperty() fail from caliing CreateFile()\n",
                 "GetOstrelEaxProperty() fail from calling DeviceIoControl()\n"});
    if (done) {
        std::memcpy(value, bytes.data(), 4);
    }
    return done;
}

int CPropertyChannel::SetOstrelEaxProperty(std::uint32_t id, std::uint32_t value) {
    if (id >= PROPERTY_Ostrel_EaxOptionMax) {
        return 0;
    }
    std::array<std::uint8_t, 4> bytes{};
    std::memcpy(bytes.data(), &value, 4);
    return Request(g_devicePath, KSPROPSETID_PrivateEax, id, KSPROPERTY_TYPE_SET, bytes, false,
                   {"SetOstrelEaxProperty() fail from calling CreateFile()\n",
                    "SetOstrelEaxProperty() fail from calling DeviceIoControl()\n"});
}

int CPropertyChannel::EqRequest(std::uint32_t id, std::uint32_t flags, void* value) {
    // The equalizer requests open the device before they look at the id.
    const HANDLE device = g_devicePath ? devices_.CreateFile(*g_devicePath) : 0;
    if (device == 0) {
        return 0;
    }
    bool done = false;
    if (id < kEqIdCount) {
        const std::size_t size = id == kEqRecordId ? kEqRecordSize : 4;
        const auto header = KsProperty{KSPROPSETID_Equalizer, id, flags}.Bytes();
        done = devices_.DeviceIoControl(device, IOCTL_KS_PROPERTY, header,
                                        std::span(static_cast<std::uint8_t*>(value), size));
    }
    devices_.CloseHandle(device);
    return done ? 1 : 0;
}

int CPropertyChannel::GetEqProperty(std::uint32_t id, void* value) {
    return EqRequest(id, KSPROPERTY_TYPE_GET, value);
}

int CPropertyChannel::SetEqProperty(std::uint32_t id, const void* value) {
    std::array<std::uint8_t, kEqRecordSize> copy{};
    if (id < kEqIdCount) {
        std::memcpy(copy.data(), value, id == kEqRecordId ? kEqRecordSize : 4);
    }
    return EqRequest(id, KSPROPERTY_TYPE_SET, copy.data());
}

// ---- wrappers ---------------------------------------------------------------

int CPropertyChannel::SetEnvironment(int index) {
    if (!EnsureDevice()) {
        return 0;
    }
    const std::uint32_t flags = kEnvironmentFlags;
    SetEaxProperties(DSPROPERTY_EAXLISTENER_FLAGS, &flags);
    const std::uint32_t environment = static_cast<std::uint32_t>(index);
    SetEaxProperties(DSPROPERTY_EAXLISTENER_ENVIRONMENT, &environment);
    return GetEaxProperties(DSPROPERTY_EAXLISTENER_ALLPARAMETERS, &g_listener);
}

int CPropertyChannel::SetPitchShift(std::int32_t value) {
    return EnsureDevice() ? SetKaraokProperty(PROPERTY_Ostrel_PitchShift, value) : 0;
}

int CPropertyChannel::SetVoiceCancel(std::int32_t value) {
    return EnsureDevice() ? SetKaraokProperty(PROPERTY_Ostrel_VoiceCancel, value) : 0;
}

int CPropertyChannel::SetEaxEnable(std::uint32_t value) {
    const int done = EnsureDevice() ? SetOstrelEaxProperty(PROPERTY_Ostrel_EaxEnable, value) : 0;
    g_eaxEnabled = done ? value : 0;
    return done;
}

std::uint32_t CPropertyChannel::GetEaxEnable() {
    std::uint32_t value = 0;
    if (!EnsureDevice() || !GetOstrelEaxProperty(PROPERTY_Ostrel_EaxEnable, &value)) {
        return 0;
    }
    return value;
}

// ---- start-up -------------------------------------------------------------

void CPropertyChannel::DetectEffectDevice(CDeviceWindow& frame) {
    std::optional<std::string> found;
    std::size_t entry = 0;
    for (; entry < kHardwareIds.size(); ++entry) {
        if (FindAudioDevice(KSCATEGORY_AUDIO, kHardwareIds[entry], found)) {
            break;
        }
    }
    if (!found) {
        frame.m_bDriverFound = 0;
        return;
    }
    if (EaxRequest(found, DSPROPERTY_EAXLISTENER_ALLPARAMETERS, KSPROPERTY_TYPE_GET, &g_listener,
                   {nullptr, "GetEaxProperties() fail from calling DeviceIoControl()\n"})) {
        frame.m_bDriverFound = 1;
        g_hwIdIndex = static_cast<int>(entry);
        return;
    }

    // The driver does not take the EAX listener set: environments may still
    // go through its DirectSound extension.
    frame.m_bDriverFound = 0;
    if (!directSound_) {
        return;
    }
    if (directSound_->InitDirectSound() && directSound_->QueryGlobalReverbSupport()) {
        frame.m_bDriverFound = 1;
        g_hwIdIndex = static_cast<int>(entry);
        frame.m_bDsReverb = 1;
        SetEaxEnable(0);
    }
    directSound_->ReleaseDirectSound();
}

int CPropertyChannel::ReadEffectState(CDeviceWindow& frame) {
    if (!EnsureDevice()) {
        return 0;
    }
    if (!frame.m_bDsReverb &&
        !GetEaxProperties(DSPROPERTY_EAXLISTENER_ALLPARAMETERS, &g_listener)) {
        return 0;
    }
    std::int32_t voiceCancel = 0;
    std::int32_t pitchShift = 0;
    if (!GetKaraokProperty(PROPERTY_Ostrel_VoiceCancel, &voiceCancel) ||
        !GetKaraokProperty(PROPERTY_Ostrel_PitchShift, &pitchShift)) {
        return 0;
    }
    g_eaxEnabled = GetEaxEnable();
    frame.m_bVoiceCancel = voiceCancel;
    g_pitchShift = pitchShift;
    frame.m_nKeyShift = pitchShift;
    ReleaseDevice();
    return 1;
}

} // namespace mixora
