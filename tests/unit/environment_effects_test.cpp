// The environment menu and its two roads as the user and the driver see
// them: the menu's items, columns and check mark, the requests sent on the
// driver road, and on the DirectSound road the record read back and the
// message boxes shown.
#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "device/directsound_reverb.h"
#include "device/environment_effects.h"
#include "device/property_channel.h"
#include "dsp/environments.h"
#include "fakes/fake_device_seams.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "platform/posix/registry_store.h"

using namespace mixora;
using ::testing::_;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct EnvironmentEffects : ::testing::Test {
    FrameHarness h;
    TempDir dir;
    RegistryStore registry{dir.File("registry.reg"), nullptr};
    FakeDeviceInstall devices;
    FakeDebugOutput debug;
    FakeDirectSound ds;
    CDirectSoundReverb road{ds, registry, h.messages, h.records};
    CPropertyChannel channel{devices, debug, h.records, &road};
    CEnvironmentEffects environments{channel, road, h.resources, h.records};
    std::optional<CMainFrame> frame;
    std::vector<MenuItem> shown;
    POINT shownAt;

    EnvironmentEffects() {
        devices.devices = {{"PCI\\VEN_8086&DEV_2415\\0", {"\\\\?\\pci#a\\wave"}}};
        ON_CALL(h.host, ClientToScreen(_)).WillByDefault([](POINT p) {
            return POINT{p.x + 300, p.y + 200};
        });
        ON_CALL(h.host, TrackPopupMenu(_, _))
            .WillByDefault([this](const std::vector<MenuItem>& items, POINT at) {
                shown = items;
                shownAt = at;
            });
        frame.emplace(h.Services());
        frame->OnCreate();
    }
    int Checked() const {
        int at = -1;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (shown[i].radioChecked) {
                EXPECT_EQ(at, -1) << "two checks";
                at = static_cast<int>(i);
            }
        }
        return at;
    }
    void Remember(const GlobalReverbRecord& settings, std::uint32_t enabled) {
        HKEY key = 0;
        registry.CreateKey(HKEY_LOCAL_MACHINE, "Software\\Sensaura\\Environment", &key);
        registry.SetValue(key, "Settings", REG_BINARY, settings);
        registry.SetValue(key, "Enabled", REG_DWORD,
                          Bytes{static_cast<std::uint8_t>(enabled), 0, 0, 0});
        registry.CloseKey(key);
    }
};

TEST_F(EnvironmentEffects, TheDriverRoadMenuHasThreeColumnsAndFollowsTheDriversRecord) {
    environments.ShowEnvMenu(*frame, 1066);
    ASSERT_EQ(shown.size(), 28u);
    // The menu's texts are the environment table's names, in its order.
    for (std::size_t i = 0; i < 27; ++i) {
        EXPECT_EQ(shown[i].id, 40002 + i);
        EXPECT_EQ(shown[i].text, i < 26 ? Environments()[i].name : "<None>");
        EXPECT_EQ(shown[i].columnBreak, i == 13 || i == 26) << i;
    }
    EXPECT_EQ(shown[27].id, 0u);
    EXPECT_EQ(Checked(), 26);
    const RECT box = frame->m_skin.Controls().Find(1066)->m_rgn.Bounds(); // popped up at its centre
    EXPECT_EQ(shownAt, (POINT{(box.left + box.right) / 2 + 300, (box.top + box.bottom) / 2 + 200}));

    channel.g_eaxEnabled = 1;
    channel.g_listener.dwEnvironment = 25;
    environments.ShowEnvMenu(*frame, 1066);
    EXPECT_EQ(Checked(), 25);
}

TEST_F(EnvironmentEffects, TheDirectSoundRoadMenuReadsTheStoredRecord) {
    frame->m_bDsReverb = 1;
    environments.ShowEnvMenu(*frame, 1066);
    ASSERT_EQ(shown.size(), 25u);
    EXPECT_EQ(shown[22].id, 40024u);
    EXPECT_EQ(shown[23].id, 40028u);
    EXPECT_EQ(shown[24].id, 0u);
    EXPECT_EQ(Checked(), 23);

    // What a choice stored is what the menu reads back, whatever the field says.
    environments.SelectEnvironment(*frame, 40009);
    frame->m_nDsEnvironment = 0;
    environments.ShowEnvMenu(*frame, 1066);
    EXPECT_EQ(frame->m_nDsEnvironment, 8);
    EXPECT_EQ(Checked(), 7);
    // The room level is the listener's own: it does not change the match.
    GlobalReverbRecord settings = GlobalReverb(8);
    settings[0] = 0x0C, settings[1] = 0xFE, settings[2] = settings[3] = 0xFF;
    Remember(settings, 1);
    environments.ShowEnvMenu(*frame, 1066);
    EXPECT_EQ(Checked(), 7);

    settings[47] ^= 1;
    Remember(settings, 1);
    environments.ShowEnvMenu(*frame, 1066);
    EXPECT_EQ(Checked(), 23);

    Remember(GlobalReverb(8), 0);
    environments.ShowEnvMenu(*frame, 1066);
    EXPECT_EQ(Checked(), 23);
}

TEST_F(EnvironmentEffects, TheDriverRoadSwitchesTheReverbAndSendsTheIndex) {
    devices.answer = [](const KsProperty& p, std::span<std::uint8_t> v) {
        if (p.set == DSPROPSETID_EAX20_ListenerProperties && p.id == 1)
            v[36] = 3;
        return true;
    };
    environments.SelectEnvironment(*frame, 40005);
    EXPECT_EQ(frame->m_nEnvironment, 3);
    ASSERT_EQ(devices.sent.size(), 4u);
    EXPECT_EQ(devices.sent[0].property().set, KSPROPSETID_PrivateEax);
    EXPECT_EQ(devices.sent[0].value, (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(devices.sent[1].value, (Bytes{0x1F, 0, 0, 0}));
    EXPECT_EQ(devices.sent[2].property().id, 11u);
    EXPECT_EQ(devices.sent[2].value, (Bytes{3, 0, 0, 0}));
    EXPECT_EQ(devices.sent[3].property().flags, KSPROPERTY_TYPE_GET);
    EXPECT_FALSE(channel.HasDevice());

    devices.sent.clear();
    environments.SelectEnvironment(*frame, 40028);
    EXPECT_EQ(frame->m_nEnvironment, -1);
    ASSERT_EQ(devices.sent.size(), 1u);
    EXPECT_EQ(devices.sent[0].value, (Bytes{0, 0, 0, 0}));
    environments.ShowEnvMenu(*frame, 1066);
    EXPECT_EQ(channel.g_listener.dwEnvironment, 3u);
    EXPECT_EQ(Checked(), 26); // the switch is off, whatever the driver's number
}

TEST_F(EnvironmentEffects, EachDirectSoundFailureShowsItsBoxAndReleasesEverything) {
    frame->m_bDsReverb = 1;
    struct Case {
        bool FakeDirectSoundScript::*flag;
        const char* text;
        const char* caption;
    };
    // The first step and the last.
    const Case cases[] = {
        {&FakeDirectSoundScript::createFails, "Unable to get a DirectSound object",
         "DirectSoundCreate Failure"},
        {&FakeDirectSoundScript::setFails, "Could not Set Global Reverb", "Set Global Reverb"},
    };
    for (const Case& c : cases) {
        ds.script = {};
        ds.script.*c.flag = true;
        EXPECT_CALL(h.messages, MessageBox(std::string(c.text), std::string(c.caption), 0x10u))
            .Times(1);
        EXPECT_EQ(road.SetGlobalReverb(*frame), 0);
        EXPECT_EQ(ds.script.alive, 0) << c.text;
        ::testing::Mock::VerifyAndClearExpectations(&h.messages);
    }
    ds.script = {};
    ds.script.support = KSPROPERTY_SUPPORT_GET;
    EXPECT_CALL(h.messages,
                MessageBox("can't set property in Property set interface",
                           "No DSPROPERTY_DIRECTSOUNDSENSAURA_GLOBAL_ENVIRONMENT Support", 0x10u));
    EXPECT_EQ(road.SetGlobalReverb(*frame), 0);
}

TEST_F(EnvironmentEffects, TheLastOstrelOrCorvaneDeviceIsChosenOnce) {
    const GUID first{1, 0, 0, {}}, second{2, 0, 0, {}}, other{3, 0, 0, {}};
    ds.script.enumerated = {{nullptr, "Primary Sound Driver"},
                            {&first, "Ostrel AC97 Audio"},
                            {&other, "Some Card"},
                            {&second, "Corvane Ostrel Mk2"}};
    EXPECT_EQ(road.InitDirectSound(), 1);
    road.ReleaseDirectSound();
    EXPECT_EQ(road.InitDirectSound(), 1);
    road.ReleaseDirectSound();
    EXPECT_EQ(ds.script.enumerations, 1);
    ASSERT_EQ(ds.script.createdOn.size(), 2u);
    EXPECT_EQ(ds.script.createdOn[0], second);
}

} // namespace
