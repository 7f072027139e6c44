#pragma once
// The effect device's property channel: finding the device's wave
// interface, and one kernel-streaming property request per operation
// (open the interface, send, close). Every operation returns 1 for
// success and 0 for failure, and writes its failure to the debugger output.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/guid.h"
#include "platform/ks_properties.h"

namespace mixora {

class CDirectSoundReverb;
class CDeviceWindow;
class IDebugOutput;
class IDeviceInstall;
struct ProgramRecords;

// The hardware ids the effect device is recognised by, tried in this order;
// each is matched as an upper-case substring of a device-instance id.
inline constexpr std::array<const char*, 20> kHardwareIds = {
    "PCI\\VEN_8086&DEV_2415",
    "PCI\\VEN_8086&DEV_2425",
    "PCI\\VEN_8086&DEV_2445",
    "PCI\\VEN_8086&DEV_2485",
    "PCI\\VEN_8086&DEV_24C5",
    "PCI\\VEN_8086&DEV_24D5",
    "PCI\\VEN_8086&DEV_7195",
    "PCI\\VEN_1106&DEV_3058",
    "PCI\\VEN_1106&DEV_3059",
    "PCI\\VEN_1039&DEV_7018",
    "PCI\\VEN_1039&DEV_7012",
    "PCI\\VEN_10B9&DEV_5451",
    "PCI\\VEN_10B9&DEV_5455",
    "PCI\\VEN_1022&DEV_7445",
    "PCI\\VEN_1022&DEV_746D",
    "PCI\\VEN_1002&DEV_4341",
    "PCI\\VEN_10DE&DEV_006A",
    "PCI\\VEN_10DE&DEV_00DA",
    "PCI\\VEN_10DE&DEV_01B1",
    // The built-in software effect device, last, so that a card with the
    // real driver is still preferred.
    "SWENUM\\MIXORA_SOFTWARE_EFFECTS",
};

class CPropertyChannel {
public:
    // `directSound` is the DirectSound road tried at start-up when the
    // device refuses the EAX listener set; without it that road is closed.
    CPropertyChannel(IDeviceInstall& devices, IDebugOutput& debug, ProgramRecords& records,
                     CDirectSoundReverb* directSound = nullptr);

    // Discovery. FindAudioDevice leaves the wave interface's path in
    // `devicePath` and the device's instance id, upper-cased, in
    // g_instanceId; 1 found, 0 not.
    int FindAudioDevice(const GUID& interfaceClass, const std::string& pattern,
                        std::optional<std::string>& devicePath);
    int EnsureDevice();
    void ReleaseDevice();
    bool HasDevice() const { return g_devicePath.has_value(); }

    // Requests on the held device (`g_devicePath`). The value's size follows
    // from the set and id: EAX id 1 56 bytes, equalizer id 39 120 bytes,
    // every other 4 bytes; EAX id 0 sends nothing.
    int GetEaxProperties(std::uint32_t id, void* value);
    int SetEaxProperties(std::uint32_t id, const void* value);
    int GetKaraokProperty(std::uint32_t id, std::int32_t* value);
    int SetKaraokProperty(std::uint32_t id, std::int32_t value);
    int GetOstrelEaxProperty(std::uint32_t id, std::uint32_t* value);
    int SetOstrelEaxProperty(std::uint32_t id, std::uint32_t value);
    int GetEqProperty(std::uint32_t id, void* value);
    int SetEqProperty(std::uint32_t id, const void* value);

    // Wrappers: each ensures the device first (and does not release it).
    int SetEnvironment(int index);
    int SetPitchShift(std::int32_t value);
    int SetVoiceCancel(std::int32_t value);
    int SetEaxEnable(std::uint32_t value);
    std::uint32_t GetEaxEnable();

    // Start-up: find the device (m_bDriverFound, m_bDsReverb) and read its
    // karaoke and environment state.
    void DetectEffectDevice(CDeviceWindow& frame);
    int ReadEffectState(CDeviceWindow& frame);

    std::optional<std::string> g_devicePath;
    int g_hwIdIndex = 0;
    EaxListenerRecord g_listener{};
    std::uint32_t g_eaxEnabled = 0;
    std::int32_t g_pitchShift = 0;

private:
    struct Messages {
        const char* openFailed;    // null: nothing is written
        const char* requestFailed; // null: nothing is written
    };
    // Steps 2..5 of every request on `path`: open, send (unless `value` is
    // empty on the EAX set's id 0), close, report.
    int Request(const std::optional<std::string>& path, const GUID& set, std::uint32_t id,
                std::uint32_t flags, std::span<std::uint8_t> value, bool sendNothing,
                const Messages& messages);
    int EaxRequest(const std::optional<std::string>& path, std::uint32_t id, std::uint32_t flags,
                   void* value, const Messages& messages);
    int EqRequest(std::uint32_t id, std::uint32_t flags, void* value);

    IDeviceInstall& devices_;
    IDebugOutput& debug_;
    ProgramRecords& records_;
    CDirectSoundReverb* directSound_;
};

} // namespace mixora
