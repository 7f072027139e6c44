// The mixer as the sound card's driver sees the program use it: which
// device is chosen, and the exact values written to its controls.
#include <gtest/gtest.h>

#include <tuple>

#include "app/main_frame.h"
#include "device/mixer_control.h"
#include "fakes/fake_device_seams.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "platform/effect_driver/software_effect_device.h"
#include "platform/effect_driver/virtual_mixer.h"
#include "platform/posix/registry_store.h"

using namespace mixora;

namespace {

MixerLine Line(std::uint32_t id, std::uint32_t d, std::uint32_t s, std::uint32_t connections,
               std::uint32_t controls, std::uint32_t type = 0) {
    MixerLine l;
    std::tie(l.dwLineID, l.dwDestination, l.dwSource, l.cConnections, l.cControls,
             l.dwComponentType) = std::tuple(id, d, s, connections, controls, type);
    return l;
}

MixerControl Ctl(std::uint32_t id, std::uint32_t type, std::int32_t max = 65535) {
    MixerControl c;
    std::tie(c.dwControlID, c.dwControlType, c.lMaximum) = std::tuple(id, type, max);
    return c;
}

// A device with the driver's lines: A (3 sources, 4 controls), karaoke B
// (1 source, 2 controls; the switch first) and the CD line. `base` keeps
// control ids of several devices apart.
FakeMixerDevice DriverDevice(std::uint32_t base, std::uint32_t destinations = 4) {
    FakeMixerDevice d;
    d.destinations = destinations;
    d.lines = {Line(0xFFFF0000, 0, 0, 3, 4), Line(0xFFFF0001, 1, 0, 1, 2),
               Line(0xFFFF0002, 2, 0, 2, 1),
               Line(0x00010000, 0, 1, 0, 2, MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC),
               Line(0x00000001, 1, 0, 0, 1)};
    d.controls[0xFFFF0001] = {Ctl(base + 1, MIXERCONTROL_CONTROLTYPE_ONOFF, 1),
                              Ctl(base + 2, MIXERCONTROL_CONTROLTYPE_VOLUME)};
    d.controls[0x00000001] = {Ctl(base + 3, MIXERCONTROL_CONTROLTYPE_FADER)};
    d.controls[0x00010000] = {Ctl(base + 4, MIXERCONTROL_CONTROLTYPE_VOLUME),
                              Ctl(base + 5, MIXERCONTROL_CONTROLTYPE_MUTE, 1)};
    return d;
}

TEST(MixerControl, TheFirstDeviceWithBothDestinationsIsUsedAndTheOthersAreClosed) {
    FakeMixer mixer;
    mixer.devices = {DriverDevice(0, 3), DriverDevice(10), DriverDevice(20), DriverDevice(30)};
    mixer.devices[1].lines[1].cControls = 3; // no karaoke destination
    mixer.values = {{21, 1}, {23, 44719}};
    CMixerControl control(mixer);
    FrameHarness h;
    CMainFrame frame{h.Services()};
    ASSERT_EQ(control.OpenMixer(frame), 1);
    EXPECT_EQ(mixer.openedDevices,
              (std::vector<std::uint32_t>{1, 2})); // 3 destinations: never opened
    EXPECT_EQ(mixer.openFlags[0], CALLBACK_WINDOW);
    EXPECT_EQ(mixer.closed, (std::vector<HMIXER>{101}));
    EXPECT_EQ(control.g_hMixer, 102u);
    EXPECT_EQ(control.g_voiceCtl, 0u);
    EXPECT_EQ(control.g_keyCtl.dwControlID, 23u);
    EXPECT_EQ(control.g_cdControls[1].dwControlID, 25u);
    EXPECT_EQ(frame.m_bVoiceCancel, 1);
    EXPECT_EQ(frame.m_nKeyShift, 2);
    control.CloseMixer();
    EXPECT_EQ(mixer.closed.back(), 102u);
    EXPECT_EQ(control.g_bMixerOpen, 0);
}

TEST(MixerControl, KeyShiftEncodingAndReadingRanges) {
    const std::vector<std::uint32_t> written = {0,     7967,  16705, 25186, 32896,
                                                40863, 49344, 57825, 65535};
    for (int k = -4; k <= 4; ++k) {
        EXPECT_EQ(KeyShiftToFader(k), written[static_cast<std::size_t>(k + 4)]);
        EXPECT_EQ(FaderToKeyShift(KeyShiftToFader(k)), k);
    }
    const std::vector<std::pair<std::uint32_t, int>> readings = {
        {3598, -4}, {3599, -3}, {29041, -1}, {29042, 0}, {36238, 1}};
    for (const auto& [value, step] : readings) {
        EXPECT_EQ(FaderToKeyShift(value), step) << value;
    }
}

TEST(MixerControl, WritesGoToTheirControlsWithTheirChannelCounts) {
    FakeMixer mixer;
    mixer.devices = {DriverDevice(0)};
    CMixerControl control(mixer);
    FrameHarness h;
    CMainFrame frame{h.Services()};
    ASSERT_EQ(control.OpenMixer(frame), 1);

    const std::vector<std::pair<int, std::uint32_t>> volumes = {
        {-1, 62979}, {-3000, 0}, {-1500, 31500}};
    for (const auto& [volume, value] : volumes) {
        control.SetCdVolume(volume);
        const MixerControlDetails& w = mixer.writes.back();
        EXPECT_EQ(std::tuple(w.cbStruct, w.cbDetails, w.dwControlID, w.cChannels),
                  std::tuple(24u, 4u, 4u, 2u));
        EXPECT_EQ(w.values, (std::vector<std::uint32_t>{value, value})) << volume;
    }
    auto written = [&] {
        return std::pair(mixer.writes.back().dwControlID, mixer.writes.back().values);
    };
    using Write = std::pair<std::uint32_t, std::vector<std::uint32_t>>;
    control.SetCdMute(true);
    EXPECT_EQ(written(), (Write{5, {1}}));
    frame.m_bVoiceCancel = 1;
    control.SetMixerVoiceCancel(frame);
    EXPECT_EQ(written(), (Write{1, {1}}));
    frame.m_nKeyShift = 0;
    control.SetMixerKeyShift(frame);
    EXPECT_EQ(written(), (Write{3, {32896}}));
}

TEST(MixerControl, TheVirtualMixerDrivesTheSoftwareEffectDevice) {
    TempDir dir;
    RegistryStore registry(dir.File("registry.reg"), nullptr);
    SoftwareEffectDevice device(registry, nullptr);
    VirtualMixer mixer(&device);
    int cdChanges = 0;
    mixer.SetCdLineObserver([&] { ++cdChanges; });
    CMixerControl control(mixer);
    FrameHarness h;
    CMainFrame frame{h.Services()};
    ASSERT_EQ(control.OpenMixer(frame), 1);
    EXPECT_EQ(frame.m_nKeyShift, 0);
    EXPECT_EQ(frame.m_bVoiceCancel, 0);

    frame.m_nKeyShift = -3;
    control.SetMixerKeyShift(frame);
    frame.m_bVoiceCancel = 1;
    control.SetMixerVoiceCancel(frame);
    EXPECT_EQ(std::tuple(device.State().pitchShift, device.State().voiceCancel), std::tuple(-3, 1));
    frame.m_nKeyShift = 4; // the top key is a key too
    control.SetMixerKeyShift(frame);
    EXPECT_EQ(device.State().pitchShift, 4);

    control.SetCdVolume(-1500);
    control.SetCdMute(true);
    EXPECT_EQ(std::tuple(mixer.CdVolumeLeft(), mixer.CdVolumeRight(), mixer.CdMute()),
              std::tuple(31500u, 31500u, true));
    EXPECT_EQ(cdChanges, 2);
}

} // namespace
