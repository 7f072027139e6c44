// The effect device's property channel as the driver sees it: the exact
// request bytes and value sizes, which device and interface discovery
// picks, and every line it leaves on the debugger output.
#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "device/program_records.h"
#include "device/property_channel.h"
#include "fakes/fake_device_seams.h"
#include "fakes/frame_harness.h"

using namespace mixora;

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kWave =
    "\\\\?\\pci#ven_8086&dev_24c5#3&61aaa01&0&fd#{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\wave";
const std::string kTopology =
    "\\\\?\\pci#ven_8086&dev_24c5#3&61aaa01&0&fd#{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\topology";

Bytes Header(std::initializer_list<int> guid, std::uint32_t id, std::uint32_t flags) {
    Bytes b(guid.begin(), guid.end());
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(id >> (8 * i)));
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(flags >> (8 * i)));
    return b;
}

struct PropertyChannel : ::testing::Test {
    FakeDeviceInstall devices;
    FakeDebugOutput debug;
    ProgramRecords records;
    CPropertyChannel channel{devices, debug, records};

    PropertyChannel() {
        devices.devices = {
            {"PCI\\VEN_8086&DEV_24C5&SUBSYS_00000000&REV_02\\3&61AAA01&0&FD", {kTopology, kWave}}};
    }
    void Hold() { channel.g_devicePath = kWave; }
};

TEST_F(PropertyChannel, RequestsCarryTheSetIdFlagsAndValueOfEachProperty) {
    Hold();
    EaxListenerRecord listener;
    listener.dwEnvironment = 7;
    std::array<std::uint8_t, 120> eq{};
    eq[0] = 0xFF;
    ASSERT_EQ(channel.SetKaraokProperty(1, -3), 1);
    ASSERT_EQ(channel.SetEaxProperties(1, &listener), 1);
    ASSERT_EQ(channel.SetOstrelEaxProperty(0, 1), 1);
    ASSERT_EQ(channel.SetEqProperty(39, eq.data()), 1);
    std::int32_t gain = -1200;
    ASSERT_EQ(channel.GetEqProperty(36, &gain), 1);

    ASSERT_EQ(devices.sent.size(), 5u);
    for (const SentRequest& r : devices.sent) {
        EXPECT_EQ(r.code, 0x002F0003u);
        EXPECT_EQ(r.path, kWave);
    }
    EXPECT_EQ(devices.sent[0].header, Header({0x60, 0x94, 0x33, 0x9B, 0x0E, 0x62, 0xD4, 0x11, 0x95,
                                              0x65, 0x6B, 0x1F, 0x3D, 0x29, 0x29, 0x5E},
                                             1, 2));
    EXPECT_EQ(devices.sent[0].value, (Bytes{0xFD, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(devices.sent[1].header, Header({0xA8, 0xA6, 0x06, 0x03, 0x24, 0xB2, 0xD2, 0x11, 0x99,
                                              0xE5, 0x00, 0x00, 0xE8, 0xD8, 0xC7, 0x22},
                                             1, 2));
    ASSERT_EQ(devices.sent[1].value.size(), 56u);
    EXPECT_EQ(devices.sent[1].value[36], 7);
    EXPECT_EQ(devices.sent[2].header, Header({0x61, 0x94, 0x33, 0x9B, 0x0E, 0x62, 0xD4, 0x11, 0x95,
                                              0x65, 0x6B, 0x1F, 0x3D, 0x29, 0x29, 0x5E},
                                             0, 2));
    EXPECT_EQ(devices.sent[3].header, Header({0xDA, 0x66, 0xB8, 0x99, 0xB4, 0xDE, 0xED, 0x40, 0x92,
                                              0xEE, 0x87, 0xE8, 0xCC, 0x9C, 0x32, 0xC7},
                                             39, 2));
    EXPECT_EQ(devices.sent[3].value.size(), 120u);
    EXPECT_EQ(std::tuple(devices.sent[4].property().id, devices.sent[4].property().flags,
                         devices.sent[4].value.size()),
              std::tuple(36u, 1u, 4u));
    // One handle per request, closed again.
    EXPECT_EQ(devices.opened.size(), 5u);
    EXPECT_EQ(devices.closes, 5);
    EXPECT_TRUE(debug.lines.empty());
}

TEST_F(PropertyChannel, FailuresReturnZeroAndWriteTheirLine) {
    Hold();
    std::uint32_t v = 0;
    std::int32_t k = 0;
    devices.openFails = true;
    EXPECT_EQ(channel.GetKaraokProperty(0, &k), 0);
    EXPECT_EQ(channel.SetOstrelEaxProperty(0, 1), 0);
    devices.openFails = false;
    devices.answer = [](const KsProperty&, std::span<std::uint8_t>) { return false; };
    EXPECT_EQ(channel.SetEaxProperties(11, &v), 0);
    EXPECT_EQ(channel.SetEqProperty(3, &v), 0); // the equalizer's failures are silent
    EXPECT_EQ(debug.lines, (std::vector<std::string>{
                               "GetKaraokProperty() fail from caliing CreateFile()\n",
                               "SetOstrelEaxProperty() fail from calling CreateFile()\n",
                               "SetEaxProperties() fail from calling- DeviceIoControl()\n",
                           }));
}

TEST_F(PropertyChannel, DiscoveryMatchesTheIdWithoutRegardToCaseAndTakesOnlyTheWaveInterface) {
    devices.devices = {{"ROOT\\MEDIA\\0000", {"\\\\?\\root#media#wave"}},
                       {"pci\\ven_8086&dev_24c5&subsys_12345678\\3&1", {kTopology, kWave}}};
    std::optional<std::string> path;
    EXPECT_EQ(channel.FindAudioDevice(KSCATEGORY_AUDIO, "pci\\VEN_8086&dev_24C5", path), 1);
    EXPECT_EQ(path, kWave);
    EXPECT_EQ(records.g_instanceId, "PCI\\VEN_8086&DEV_24C5&SUBSYS_12345678\\3&1");
    EXPECT_EQ(debug.lines, (std::vector<std::string>{"Found it!!!\n"}));
    // Without a wave interface, or a matching id, nothing is found.
    path.reset();
    devices.devices[1].paths = {kTopology};
    EXPECT_EQ(channel.FindAudioDevice(KSCATEGORY_AUDIO, "PCI\\VEN_8086&DEV_24C5", path), 0);
    devices.devices[1].paths = {kTopology, kWave};
    EXPECT_EQ(channel.FindAudioDevice(KSCATEGORY_AUDIO, "PCI\\VEN_8086&DEV_2415", path), 0);
    EXPECT_FALSE(path);
    EXPECT_EQ(devices.listsDestroyed, devices.listsMade);
}

TEST_F(PropertyChannel, TheTableIsTriedInOrderAndItsEntryIsRememberedForLaterCommands) {
    // A card that matches entry 5 and the software device (the last entry).
    devices.devices = {{"SWENUM\\MIXORA_SOFTWARE_EFFECTS\\0", {"\\\\?\\swenum#x\\wave"}},
                       {"PCI\\VEN_8086&DEV_24D5&SUBSYS_1\\4&2", {"\\\\?\\pci#x\\wave"}}};
    FrameHarness h;
    CMainFrame frame{h.Services()};
    channel.DetectEffectDevice(frame);
    EXPECT_EQ(frame.m_bDriverFound, 1);
    EXPECT_EQ(channel.g_hwIdIndex, 5);
    EXPECT_FALSE(channel.HasDevice());

    ASSERT_EQ(channel.SetVoiceCancel(1), 1);
    EXPECT_EQ(devices.sent.back().path, "\\\\?\\pci#x\\wave");
}

TEST_F(PropertyChannel, WithoutADeviceNothingIsSentAndTheEnableFlagDropsToZero) {
    devices.devices.clear();
    FrameHarness h;
    CMainFrame frame{h.Services()};
    channel.DetectEffectDevice(frame);
    EXPECT_EQ(frame.m_bDriverFound, 0);
    channel.g_eaxEnabled = 1;
    EXPECT_EQ(channel.SetEaxEnable(1), 0);
    EXPECT_EQ(channel.g_eaxEnabled, 0u);
    EXPECT_EQ(channel.SetPitchShift(2), 0);
    EXPECT_TRUE(devices.sent.empty());
}

TEST_F(PropertyChannel, StartUpReadsKaraokeAndTheSwitchThenLetsGo) {
    devices.answer = [](const KsProperty& p, std::span<std::uint8_t> v) {
        if (p.set == KSPROPSETID_Karaoke && p.id == 0)
            v[0] = 1;
        if (p.set == KSPROPSETID_Karaoke && p.id == 1)
            v[0] = 0xFE, v[1] = v[2] = v[3] = 0xFF; // -2
        if (p.set == KSPROPSETID_PrivateEax)
            v[0] = 1;
        return true;
    };
    FrameHarness h;
    CMainFrame frame{h.Services()};
    channel.DetectEffectDevice(frame);
    ASSERT_EQ(channel.ReadEffectState(frame), 1);
    EXPECT_EQ(frame.m_bVoiceCancel, 1);
    EXPECT_EQ(frame.m_nKeyShift, -2);
    EXPECT_EQ(channel.g_pitchShift, -2);
    EXPECT_EQ(channel.g_eaxEnabled, 1u);
    EXPECT_FALSE(channel.HasDevice());

    devices.answer = [](const KsProperty& p, std::span<std::uint8_t>) {
        return p.set != KSPROPSETID_Karaoke;
    };
    EXPECT_EQ(channel.ReadEffectState(frame), 0);
}

} // namespace
