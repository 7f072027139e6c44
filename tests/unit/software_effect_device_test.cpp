// The built-in software effect device as the program and a later run see
// it: found by discovery, answering the four property sets, keeping its
// state in the registry store, and taking the DirectSound road when it is
// told to refuse the EAX listener set.
#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "device/directsound_reverb.h"
#include "device/environment_effects.h"
#include "device/program_records.h"
#include "device/property_channel.h"
#include "dsp/environments.h"
#include "fakes/fake_device_seams.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "platform/effect_driver/software_directsound.h"
#include "platform/effect_driver/software_effect_device.h"
#include "platform/posix/registry_store.h"

using namespace mixora;

namespace {

struct SoftwareEffectDeviceTest : ::testing::Test {
    TempDir dir;
    std::optional<RegistryStore> registry;
    std::vector<EffectState> handed;
    std::optional<SoftwareEffectDevice> device;
    FakeDebugOutput debug;
    ProgramRecords records;

    void Start(ListenerSetMode mode = ListenerSetMode::Answered) {
        device.reset();
        registry.emplace(dir.File("registry.reg"), nullptr); // read afresh, as a new run would
        device.emplace(
            *registry, [this](const EffectState& s) { handed.push_back(s); }, mode);
    }
    bool Send(const GUID& set, std::uint32_t id, std::uint32_t flags,
              std::span<std::uint8_t> value) {
        const HANDLE h = device->CreateFile(SoftwareEffectDevice::kWavePath);
        const bool ok = device->DeviceIoControl(h, IOCTL_KS_PROPERTY,
                                                KsProperty{set, id, flags}.Bytes(), value);
        device->CloseHandle(h);
        return ok;
    }
};

TEST_F(SoftwareEffectDeviceTest, DiscoveryFindsItByTheLastTableEntryAndItsStateRoundTrips) {
    Start();
    CPropertyChannel channel(*device, debug, records);
    FrameHarness h;
    CMainFrame frame{h.Services()};
    channel.DetectEffectDevice(frame);
    ASSERT_EQ(frame.m_bDriverFound, 1);
    EXPECT_EQ(channel.g_hwIdIndex, 19);
    EXPECT_EQ(records.g_instanceId, "SWENUM\\MIXORA_SOFTWARE_EFFECTS\\0");
    ASSERT_EQ(channel.ReadEffectState(frame), 1);
    EXPECT_EQ(frame.m_nKeyShift, 0);
    EXPECT_EQ(channel.g_eaxEnabled, 0u);

    ASSERT_EQ(channel.EnsureDevice(), 1);
    std::array<std::uint8_t, 120> eq{};
    for (std::size_t i = 0; i < eq.size(); ++i)
        eq[i] = static_cast<std::uint8_t>(i);
    ASSERT_EQ(channel.SetEqProperty(39, eq.data()), 1);
    std::int32_t gain = -600, word = 1234, back = 0;
    ASSERT_EQ(channel.SetEqProperty(4, &gain), 1); // band 2 lives at byte 12
    ASSERT_EQ(channel.SetEqProperty(2, &word), 1); // a word of the driver's own
    std::array<std::uint8_t, 120> read{};
    ASSERT_EQ(channel.GetEqProperty(39, read.data()), 1);
    eq[12] = 0xA8, eq[13] = 0xFD, eq[14] = 0xFF, eq[15] = 0xFF;
    EXPECT_EQ(read, eq);
    ASSERT_EQ(channel.GetEqProperty(2, &back), 1);
    EXPECT_EQ(back, 1234);

    ASSERT_EQ(channel.SetEaxEnable(1), 1);
    ASSERT_EQ(channel.SetEnvironment(7), 1);
    EXPECT_EQ(channel.g_listener.dwEnvironment, 7u);
    EXPECT_EQ(channel.g_listener.flDecayTime, ListenerForEnvironment(7).flDecayTime);
    ASSERT_EQ(channel.SetPitchShift(4), 1); // both ends of the key range are keys
    ASSERT_EQ(channel.SetPitchShift(-4), 1);
    ASSERT_EQ(channel.SetPitchShift(-3), 1);
    ASSERT_EQ(channel.SetVoiceCancel(1), 1);
    EXPECT_EQ(channel.SetPitchShift(5), 0);
    EXPECT_EQ(
        std::tuple(handed.back().eaxEnable, handed.back().pitchShift, handed.back().voiceCancel),
        std::tuple(1u, -3, 1));

    // A later run starts from the same state and hands it on at once.
    const EffectState before = device->State();
    handed.clear();
    Start();
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0].eq, before.eq);
    EXPECT_EQ(
        std::tuple(handed[0].pitchShift, handed[0].eaxEnable, handed[0].listener.dwEnvironment),
        std::tuple(-3, 1u, 7u));
}

TEST_F(SoftwareEffectDeviceTest, UnknownSetsIdsSizesAndInterfacesFail) {
    Start();
    struct Row {
        GUID set;
        std::uint32_t id, flags;
        std::size_t size;
    };
    const GUID eax = DSPROPSETID_EAX20_ListenerProperties;
    // An unknown set, an id past each set's end, a wrong size, a wrong flag.
    for (const Row& r : {Row{IID_IKsPropertySet, 0, 1, 4}, Row{KSPROPSETID_Karaoke, 2, 1, 4},
                         Row{KSPROPSETID_PrivateEax, 1, 1, 4}, Row{KSPROPSETID_Equalizer, 40, 1, 4},
                         Row{eax, 16, 1, 4}, Row{KSPROPSETID_Equalizer, 39, 1, 4},
                         Row{KSPROPSETID_Karaoke, 0, 3, 4}}) {
        std::vector<std::uint8_t> value(r.size);
        EXPECT_FALSE(Send(r.set, r.id, r.flags, value)) << r.id << " " << r.size;
    }
    std::array<std::uint8_t, 4> four = {26, 0, 0, 0}; // environments end at 25
    EXPECT_FALSE(Send(eax, 11, KSPROPERTY_TYPE_SET, four));
    EXPECT_EQ(handed.size(), 1u); // nothing changed since the start

    // Only the wave interface answers.
    const HANDLE topology = device->CreateFile(SoftwareEffectDevice::kTopologyPath);
    EXPECT_FALSE(device->DeviceIoControl(topology, IOCTL_KS_PROPERTY,
                                         KsProperty{KSPROPSETID_Karaoke, 0, 1}.Bytes(), four));
}

TEST_F(SoftwareEffectDeviceTest, ADamagedOrMissingStateGivesTheDefaults) {
    Start();
    std::array<std::uint8_t, 4> v = {2, 0, 0, 0};
    ASSERT_TRUE(Send(KSPROPSETID_Karaoke, 1, KSPROPERTY_TYPE_SET, v));
    HKEY key = 0;
    ASSERT_EQ(registry->OpenKey(HKEY_LOCAL_MACHINE, SoftwareEffectDevice::kStateKey, &key),
              ERROR_SUCCESS);
    const std::vector<std::uint8_t> shortValue(100, 0x55);
    registry->SetValue(key, SoftwareEffectDevice::kStateValue, REG_BINARY, shortValue);
    registry->CloseKey(key);
    Start();
    const EffectState& s = device->State();
    EXPECT_EQ(std::tuple(s.pitchShift, s.voiceCancel, s.eaxEnable), std::tuple(0, 0, 0u));
    EXPECT_EQ(s.eq, (std::array<std::uint8_t, 120>{}));
}

TEST_F(SoftwareEffectDeviceTest, RefusingTheListenerSetLeadsToTheDirectSoundRoadForReal) {
    Start(ListenerSetMode::Refused);
    SoftwareDirectSound directSound(*device);
    FrameHarness h;
    EXPECT_CALL(h.messages, MessageBox).Times(0);
    CDirectSoundReverb road(directSound, *registry, h.messages, records);
    CPropertyChannel channel(*device, debug, records, &road);
    CEnvironmentEffects environments(channel, road, h.resources, records);
    CMainFrame frame{h.Services()};
    channel.DetectEffectDevice(frame);
    ASSERT_EQ(frame.m_bDriverFound, 1);
    ASSERT_EQ(frame.m_bDsReverb, 1);
    EXPECT_EQ(road.g_dsDeviceGuid, SoftwareDirectSound::kDeviceGuid);
    ASSERT_EQ(channel.ReadEffectState(frame), 1);

    environments.SelectEnvironment(frame, 40009); // Concert Hall, record 8
    EXPECT_EQ(frame.m_nDsEnvironment, 8);
    EXPECT_EQ(std::tuple(device->State().eaxEnable, device->State().listener.flDecayTime,
                         device->State().listener.dwEnvironment),
              std::tuple(1u, 3.92f, 7u));
    environments.SelectEnvironment(frame, 40028);
    EXPECT_EQ(device->State().eaxEnable, 0u);
    EXPECT_EQ(device->State().listener.lRoom, -10000);

    // The driver's DirectSound keys were prepared under its instance id.
    HKEY key = 0;
    EXPECT_EQ(registry->OpenKey(HKEY_LOCAL_MACHINE,
                                "System\\CurrentControlSet\\Hardware "
                                "Profiles\\Current\\System\\CurrentControlSet\\Enum\\"
                                "SWENUM\\MIXORA_SOFTWARE_EFFECTS\\0\\DirectSound\\Device Presence",
                                &key),
              ERROR_SUCCESS);
}

} // namespace

TEST_F(SoftwareEffectDeviceTest, ADragIsHeardAtOnceAndWrittenOnceWhenItSettles) {
    Start();
    std::vector<std::chrono::milliseconds> armed;
    device->SetSaveTimer([&](std::chrono::milliseconds d) { armed.push_back(d); });
    const std::string before = dir.Read("registry.reg");
    handed.clear();
    for (std::int32_t gain = -1200; gain <= 1200; gain += 100) {
        const auto u = static_cast<std::uint32_t>(gain);
        std::array<std::uint8_t, 4> value = {
            static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
            static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
        ASSERT_TRUE(Send(KSPROPSETID_Equalizer, 4, KSPROPERTY_TYPE_SET, value));
    }
    ASSERT_EQ(handed.size(), 25u);                 // every step reaches the sound
    const auto band2 = [](const EffectState& st) { // band 2's gain sits at byte 12
        return static_cast<std::int32_t>(st.eq[12] | st.eq[13] << 8 | st.eq[14] << 16 |
                                         static_cast<std::uint32_t>(st.eq[15]) << 24);
    };
    EXPECT_EQ(band2(handed.back()), 1200);
    EXPECT_EQ(dir.Read("registry.reg"), before) << "nothing written while dragging";
    EXPECT_EQ(armed, std::vector<std::chrono::milliseconds>(25, std::chrono::milliseconds(500)));
    EXPECT_TRUE(device->HasUnsavedState());

    device->SaveState(); // the timer fires
    const std::string settled = dir.Read("registry.reg");
    EXPECT_NE(settled, before);
    Start();
    EXPECT_EQ(band2(device->State()), 1200);

    // A change still waiting when the program ends is written on the way out.
    device->SetSaveTimer([](std::chrono::milliseconds) {});
    ASSERT_TRUE(device->SetPitchShift(-2));
    EXPECT_EQ(dir.Read("registry.reg"), settled);
    Start();
    EXPECT_EQ(device->State().pitchShift, -2);
}
