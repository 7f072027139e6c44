// Audio-CD detection and CD playback: the engine on the real "cdaudio"
// device over a fake drive.
#include "app/playback_routes.h"
#include "fakes/frame_harness.h"
#include "fakes/playback_fixture.h"

namespace mixora {
namespace {

using ::testing::ElementsAre;

constexpr std::uint32_t Msf(std::uint32_t m, std::uint32_t s, std::uint32_t f = 0) {
    return m | s << 8 | f << 16;
}

struct CdDetectionTest : PlaybackFixture {
    CdDetectionTest() {
        // Twelve audio tracks: track t lasts 3 minutes and t seconds.
        std::vector<std::pair<double, bool>> tracks;
        for (int t = 1; t <= 12; ++t) {
            tracks.push_back({180.0 + t, false});
        }
        drive.toc = MakeToc(tracks, 150);
        // What the main window does with MM_MCINOTIFY.
        cdHost.window = [this](WPARAM code, LPARAM id) {
            if (code == MCI_NOTIFY_SUCCESSFUL && window.m_wCdDevice != 0 &&
                static_cast<std::uint32_t>(id & 0xFFFF) == window.m_wCdDevice) {
                engine.OnTrackEnd(window);
            }
        };
        window.m_playlist = {{"/m/a.mp3", 200.0}, {"/m/b.ogg", 100.0}};
    }
};

TEST_F(CdDetectionTest, AnAudioDiscAtStartUpIsAppendedOnceWithItsLengths) {
    window.m_nCurrent = 1;
    window.m_nSelected = 0;
    engine.DetectAudioCd(window);
    ASSERT_EQ(window.m_playlist.size(), 14u);
    const auto paths = window.Paths();
    EXPECT_EQ(std::tuple(paths[0], paths[2], paths[10], paths[11], paths[13]),
              std::tuple("/m/a.mp3", "Track01.cda", "Track09.cda", "Track10.cda", "Track12.cda"));
    EXPECT_EQ(window.m_playlist[2].length, Msf(3, 1));
    EXPECT_EQ(window.m_playlist[13].length, Msf(3, 12));
    EXPECT_EQ(std::tuple(window.m_nCurrent, window.m_nSelected), std::tuple(1, 0));
    EXPECT_TRUE(window.m_bCdPresent);
    const auto log = mci.Take();
    ASSERT_EQ(log.size(), 17u);
    EXPECT_EQ(log[0], "open 00002000 cdaudio");
    EXPECT_EQ(log[1], "status 00000100 item 5 = 1");
    EXPECT_EQ(log[2], "status 00000110 item 16385 track 1 = 1088");
    EXPECT_EQ(log[3], "status 00000100 item 3 = 12");
    EXPECT_EQ(log[4], "status 00000110 item 1 track 1 = 259"); // 3:01 in MSF: 0x0103
    EXPECT_EQ(log[16], "close 00000000");
    // The next polls only watch the door.
    engine.DetectAudioCd(window);
    EXPECT_EQ(window.m_playlist.size(), 14u);
    EXPECT_THAT(mci.Take(), ElementsAre("open 00002000 cdaudio", "status 00000100 item 4 = 525",
                                        "close 00000000"));
    EXPECT_EQ(drive.alive, 0);
}

TEST_F(CdDetectionTest, DataDiscsMixedDiscsAndNoDiscAddNothing) {
    drive.toc = MakeToc({{600.0, true}, {200.0, false}}, 150);
    engine.DetectAudioCd(window);
    drive.tray = CdTray::NoDisc;
    engine.DetectAudioCd(window);
    drive.present = false;
    engine.DetectAudioCd(window);
    EXPECT_EQ(window.m_playlist.size(), 2u);
    EXPECT_FALSE(window.m_bCdPresent);
    // Without a drive the poll ends at the failed open.
    EXPECT_EQ(mci.log.back(), "open 00002000 cdaudio -> error 263");
}

TEST_F(CdDetectionTest, OpeningTheDoorRemovesEveryCdTrackAndMendsTheIndices) {
    engine.DetectAudioCd(window);
    // A ".cda" from elsewhere, before the current entry.
    window.m_playlist.insert(window.m_playlist.begin(), {"/old/Track07.cda", Msf(2, 0)});
    window.m_playlist.push_back({"/m/c.wav", 10.0});
    window.m_nCurrent = 3; // Track01.cda, one CD track before it
    window.m_nTopIndex = 3;
    window.m_nSelected = 2;
    drive.tray = CdTray::Open;
    engine.DetectAudioCd(window);
    EXPECT_THAT(window.Paths(), ElementsAre("/m/a.mp3", "/m/b.ogg", "/m/c.wav"));
    // One CD track stood before m_nCurrent: 3 - 1 = 2, which is the last entry.
    EXPECT_EQ(std::tuple(window.m_nCurrent, window.m_nTopIndex, window.m_nSelected),
              std::tuple(2, 2, -1));
    EXPECT_FALSE(window.m_bCdPresent);
}

TEST_F(CdDetectionTest, PlayingTrack3ThenTheEndAdvancesTheList) {
    engine.DetectAudioCd(window);
    window.m_nCurrent = 4; // Track03.cda
    window.m_nRepeatMode = 0;
    mci.Take();
    engine.PlayCurrent(window);
    const std::uint32_t id = window.m_wCdDevice;
    ASSERT_NE(id, 0u);
    EXPECT_THAT(mci.Take(), ElementsAre("open 00002000 cdaudio", "set 00000400 format 10",
                                        "status 00000100 item 4 = 525",
                                        // from TMSF(3,0,0,0) to TMSF(3,3,3,0): 3:03 long
                                        "play 0000000D from 00000003 to 00030303"));
    // While the engine holds the drive, detection sleeps even with the door open.
    engine.DetectAudioCd(window);
    EXPECT_TRUE(mci.Take().empty());

    // Pause at 1:00.30, resume from exactly there.
    outputs.made->Advance(60'400);
    engine.PausePlayback(window);
    EXPECT_EQ(static_cast<std::uint32_t>(window.m_dCdPausePosition), 0x1E000103u);
    engine.PlayCurrent(window);
    EXPECT_EQ(mci.Take().back(), "play 0000000D from 1E000103 to 00030303");
    // The bar at a half plays from 1:31 (of 3:03, the fraction of a second cut).
    window.sliders[1099] = 0.5;
    engine.SeekToBar(window);
    EXPECT_EQ(mci.Take().back(), "play 0000000D from 001F0103 to 00030303");
    // The CD line's level is the sound's gain: -30 dB at the bottom, or muted.
    cdDevice.SetLineLevel(0, 0, true);
    EXPECT_NEAR(outputs.made->gain, 0.031623, 1e-6);
    EXPECT_TRUE(outputs.made->mute);
    // Forward 20 s at 2:50 clamps to the end of the track (3:03).
    outputs.made->Advance(79'000);
    engine.StepForward(window);
    EXPECT_EQ(mci.Take().back(), "play 0000000D from 00030303 to 00030303");
    // Superseded and aborted plays say so and the window ignores them; the
    // end arrives as MM_MCINOTIFY and the list moves on to Track04.cda.
    cdHost.RunAll();
    EXPECT_EQ(window.m_nCurrent, 5);
    EXPECT_EQ(window.m_nPlayState, 2);
    EXPECT_EQ(mci.Take().back(), "play 0000000D from 00000004 to 00040304");
    EXPECT_EQ(cdHost.notifications.back(), std::make_pair(MCI_NOTIFY_SUCCESSFUL, LPARAM(id)));
    engine.StopPlayback(window);
    EXPECT_EQ(window.m_wCdDevice, 0u); // the drive is free for detection again
}

TEST_F(CdDetectionTest, SuspendPausesAPlayingCdAndResumeGoesOnFromThere) {
    FrameHarness h;
    CPlaybackOperations playback(engine);
    CMainFrame frame({h.host, h.profile, h.system, h.mci, h.records, h.resources, h.messages,
                      h.launcher, h.text, h.effects, playback, h.recorder});
    engine.DetectAudioCd(frame);
    frame.m_nCurrent = 2; // Track03.cda, 3:03 long, from frame 27375
    engine.PlayCurrent(frame);
    outputs.made->Advance(61'000);
    mci.Take();
    frame.WindowProc(WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_THAT(mci.Take(),
                ElementsAre("status 00000100 item 2 = " + std::to_string(MCI_MAKE_TMSF(3, 1, 1, 0)),
                            "pause 00000002"));
    EXPECT_EQ(outputs.made->log.back(), "pause at 31950");
    outputs.made->Advance(3'600'000); // an hour asleep
    frame.WindowProc(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_THAT(mci.Take(), ElementsAre("status 00000100 item 4 = 529",
                                        "play 0000000D from 00010103 to 00030303"));
    EXPECT_EQ(outputs.made->log.back(), "play /dev/fake-cd 31950..41100");
    EXPECT_EQ(frame.m_nPlayState, 2);
    // Paused by the user before the sleep, it stays paused after it.
    engine.PausePlayback(frame);
    mci.Take();
    frame.WindowProc(WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    frame.WindowProc(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_TRUE(mci.Take().empty());
    EXPECT_EQ(frame.m_nPlayState, 1);
}

} // namespace
} // namespace mixora
