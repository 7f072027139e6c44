// The main window's life: start-up and shut-down order, and the routing of
// power events, media notifications and the media control's events.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/main_frame.h"
#include "app/mixora_app.h"
#include "device/program_records.h"
#include "fakes/fake_media.h"
#include "fakes/frame_harness.h"
#include "skin/program_resources.h"

using namespace mixora;
using ::testing::_;
using ::testing::InSequence;
using ::testing::Invoke;
using ::testing::Return;

namespace {

const std::string kIni = "/cfg/Mixora.ini";

struct FrameTest : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};

    void Stored(const std::string& key, int value) {
        ON_CALL(profile, GetInt(_, key, _, kIni)).WillByDefault(Return(value));
    }
};

} // namespace

TEST_F(FrameTest, StartUpRunsEveryStepInOrder) {
    Stored("Detect_Language", 1);
    Stored("Volume", -1500);
    Stored("Repeat", 2);
    Stored("DisplayEqualizer", 0);
    {
        InSequence order;
        EXPECT_CALL(effects, OpenMixer(_));
        EXPECT_CALL(effects, DetectEffectDevice(_)).WillOnce(Invoke([](CDeviceWindow& f) {
            f.m_bDriverFound = 1;
        }));
        EXPECT_CALL(effects, ReadEffectState(_)).WillOnce(Invoke([](CDeviceWindow& f) {
            f.m_bVoiceCancel = 1;
            return true;
        }));
        for (const char* key : {"Repeat", "Mute", "Volume", "DisplayRecorder", "DisplayPlaylist",
                                "DisplayEqualizer", "Check_Audio_CD", "Detect_Language"}) {
            EXPECT_CALL(profile, GetInt("Settings", key, _, kIni));
        }
        EXPECT_CALL(profile, GetString("Settings", "Skin_File", "", 4097, kIni));
        EXPECT_CALL(profile, GetInt("EQ", "EQPresetMask", 0, kIni));
        EXPECT_CALL(effects, ChooseLanguageTable(_));
        // The skin's set-up, with the parts other displays add.
        EXPECT_CALL(profile, GetInt("Settings", "Repeat", _, _)).Times(0);
        EXPECT_CALL(host, SetTools(_));
        EXPECT_CALL(effects, ShowEqualizer(_));
        EXPECT_CALL(host, SetTimer(1, 333)).WillOnce(Return(1));
    }
    EXPECT_CALL(host, PostMessage(_, _, _)).Times(0);
    frame.m_nPlayState = 2; // whatever was there is reset
    EXPECT_EQ(frame.WindowProc(WM_CREATE, 0, 0), 0);
    EXPECT_EQ(frame.m_nTimerID, 1u);
    EXPECT_EQ(frame.m_nPlayState, 0);
    EXPECT_EQ(records.g_wLanguage, 0xFFFF); // the fake chooser left it
    // The built-in skin runs its playlist scrollbar reversed: it starts at its far end.
    EXPECT_EQ(frame.m_bPLScrollReverse, 1);
    EXPECT_DOUBLE_EQ(frame.m_skin.GetSliderFraction(ID_PLAYLIST_SCROLLBAR), 1.0);
    EXPECT_NEAR(frame.m_skin.GetSliderFraction(ID_VOLUME), 0.5, 0.05);
    EXPECT_EQ(frame.m_skin.GetButtonState(ID_REPEAT), 2);
    EXPECT_EQ(frame.m_skin.GetButtonState(ID_TOGGLE_EQUALIZER), 1);
    EXPECT_EQ(frame.m_skin.GetButtonState(ID_VOICE_CANCEL), 1);
}

TEST_F(FrameTest, UnreadableDeviceStateClosesTheWindowOnceStartUpEnds) {
    ON_CALL(effects, DetectEffectDevice(_)).WillByDefault(Invoke([](CDeviceWindow& f) {
        f.m_bDriverFound = 1;
    }));
    EXPECT_CALL(effects, ReadEffectState(_)).WillOnce(Return(false));
    EXPECT_CALL(host, PostMessage(WM_CLOSE, 0, 0));
    EXPECT_CALL(host, SetTimer(1, 333)); // start-up still completes
    frame.OnCreate();
}

TEST_F(FrameTest, VolumeIsClampedAndPanelTogglesShowHiddenPanels) {
    Stored("Volume", -5000);
    Stored("DisplayPlaylist", 0);
    Stored("Mute", 1);
    frame.OnCreate();
    EXPECT_EQ(frame.m_nVolume, -3000);
    EXPECT_DOUBLE_EQ(frame.m_skin.GetSliderFraction(ID_VOLUME), 0.0);
    EXPECT_EQ(frame.m_skin.GetButtonState(ID_TOGGLE_PLAYLIST), 1);
    EXPECT_EQ(frame.m_skin.GetButtonState(ID_MUTE), 1);

    Stored("Volume", 200);
    frame.OnCreate();
    EXPECT_EQ(frame.m_nVolume, 0);
    EXPECT_DOUBLE_EQ(frame.m_skin.GetSliderFraction(ID_VOLUME), 1.0);
}

TEST_F(FrameTest, ShutDownClosesDevicesBeforeWritingSettingsThenFreesEverything) {
    frame.OnCreate();
    frame.m_wCdDevice = 7;
    records.g_wRecDevice = 9;
    records.g_instanceId = "PCI\\VEN_1234";
    frame.m_playlist.push_back({"/music/a.ogg", 12.0});
    MediaWorld media;
    frame.m_pPlayer = std::make_unique<FakeMediaControl>(media, kPlayerControlId);
    frame.m_pToolTip = std::make_unique<CToolTipCtrl>();
    {
        InSequence order;
        EXPECT_CALL(host, KillTimer(1));
        EXPECT_CALL(mci, SendCommand(7, MCI_STOP, MCI_WAIT, nullptr));
        EXPECT_CALL(mci, SendCommand(7, MCI_CLOSE, 0, nullptr));
        EXPECT_CALL(mci, SendCommand(9, MCI_CLOSE, MCI_WAIT, nullptr));
        for (const char* key :
             {"Repeat", "Mute", "Volume", "DisplayRecorder", "DisplayPlaylist", "DisplayEqualizer",
              "Check_Audio_CD", "Detect_Language", "Skin_File"}) {
            EXPECT_CALL(profile, WriteString("Settings", key, _, kIni));
        }
        EXPECT_CALL(profile, WriteString("EQ", "EQPresetMask", "0", kIni));
        EXPECT_CALL(effects, CloseMixer());
    }
    frame.WindowProc(WM_DESTROY, 0, 0);
    frame.WindowProc(WM_DESTROY, 0, 0); // a second destroy writes nothing twice
    EXPECT_EQ(frame.m_wCdDevice, 0u);
    EXPECT_EQ(records.g_wRecDevice, 0u);
    EXPECT_TRUE(frame.m_playlist.empty());
    EXPECT_EQ(frame.m_pPlayer, nullptr);
    EXPECT_EQ(frame.m_pToolTip, nullptr);
    EXPECT_FALSE(records.g_instanceId.has_value());
}
