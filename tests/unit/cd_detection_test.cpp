// Audio-CD detection and CD playback: the engine on the real "cdaudio"
// device over a fake drive.
#include "app/playback_routes.h"
#include "fakes/frame_harness.h"
#include "fakes/playback_fixture.h"

namespace mixora {
namespace {

using ::testing::ElementsAre;

struct CdDetectionTest : PlaybackFixture {
    CdDetectionTest() {
        // Twelve audio tracks after the 150-frame pregap: track t lasts 3
        // minutes and t seconds, so track 3 starts at frame
        // 150 + (181 + 182) x 75 = 27375 and ends at 27375 + 183 x 75 = 41100.
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
    // Where the device says it is, as the position display asks.
    std::uint32_t Position(std::uint32_t id) {
        MCI_STATUS_PARMS s;
        s.dwItem = MCI_STATUS_POSITION;
        cdDevice.SendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, &s);
        return static_cast<std::uint32_t>(s.dwReturn);
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
    EXPECT_EQ(window.m_playlist[2].length, MCI_MAKE_MSF(3, 1, 0));
    EXPECT_EQ(window.m_playlist[13].length, MCI_MAKE_MSF(3, 12, 0));
    EXPECT_EQ(std::tuple(window.m_nCurrent, window.m_nSelected), std::tuple(1, 0));
    EXPECT_TRUE(window.m_bCdPresent);
    // The next polls only watch the door, and let go of the drive.
    mci.Take();
    engine.DetectAudioCd(window);
    EXPECT_EQ(window.m_playlist.size(), 14u);
    EXPECT_THAT(mci.Take(), ElementsAre("open", "status 4", "close"));
    EXPECT_EQ(drive.alive, 0);
}

TEST_F(CdDetectionTest, DataDiscsMixedDiscsAndAnEmptyDriveAddNothing) {
    drive.toc = MakeToc({{600.0, true}, {200.0, false}}, 150);
    engine.DetectAudioCd(window);
    drive.tray = CdTray::NoDisc;
    engine.DetectAudioCd(window);
    EXPECT_EQ(window.m_playlist.size(), 2u);
    EXPECT_FALSE(window.m_bCdPresent);
}

TEST_F(CdDetectionTest, OpeningTheDoorRemovesEveryCdTrackAndMendsTheIndices) {
    engine.DetectAudioCd(window);
    // A ".cda" from elsewhere, before the current entry.
    window.m_playlist.insert(window.m_playlist.begin(),
                             {"/old/Track07.cda", MCI_MAKE_MSF(2, 0, 0)});
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
    engine.PlayCurrent(window);
    const std::uint32_t id = window.m_wCdDevice;
    ASSERT_NE(id, 0u);
    FakeCdOutput& out = *outputs.made;
    EXPECT_EQ(std::tuple(out.playing, out.from, out.to), std::tuple(true, 27375u, 41100u));
    // While the engine holds the drive, detection sleeps even with the door open.
    mci.Take();
    engine.DetectAudioCd(window);
    EXPECT_TRUE(mci.Take().empty());

    // Paused at 1:00.30 (4530 frames in), it stays there and resumes from there.
    out.Advance(60'400);
    engine.PausePlayback(window);
    EXPECT_EQ(Position(id), MCI_MAKE_TMSF(3, 1, 0, 30));
    engine.PlayCurrent(window);
    EXPECT_EQ(out.from, 27375u + 4530);
    // The bar at a half plays from 1:31 (of 3:03, the fraction of a second cut).
    window.sliders[1099] = 0.5;
    engine.SeekToBar(window);
    EXPECT_EQ(out.from, 27375u + 91 * 75);
    // Forward 20 s at 2:50 stops at the end of the track; its end arrives as
    // MM_MCINOTIFY and the list moves on to Track04.cda.
    out.Advance(79'000);
    engine.StepForward(window);
    cdHost.RunAll();
    EXPECT_EQ(window.m_nCurrent, 5);
    EXPECT_EQ(window.m_nPlayState, 2);
    EXPECT_EQ(std::tuple(out.playing, out.from, out.to), std::tuple(true, 41100u, 54900u));
    engine.StopPlayback(window);
    EXPECT_EQ(window.m_wCdDevice, 0u); // the drive is free for detection again
}

TEST_F(CdDetectionTest, SuspendPausesAPlayingCdAndResumeGoesOnFromThere) {
    FrameHarness h;
    CPlaybackOperations playback(engine);
    CMainFrame frame({h.host, h.profile, h.system, h.mci, h.records, h.resources, h.messages,
                      h.launcher, h.text, h.effects, playback, h.recorder});
    engine.DetectAudioCd(frame);
    frame.m_nCurrent = 2; // Track03.cda
    engine.PlayCurrent(frame);
    FakeCdOutput& out = *outputs.made;
    out.Advance(61'000);
    frame.WindowProc(WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_FALSE(out.playing);
    out.Advance(3'600'000); // an hour asleep
    frame.WindowProc(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_EQ(std::tuple(out.playing, out.from, out.to),
              std::tuple(true, 27375u + 61 * 75, 41100u));
    EXPECT_EQ(frame.m_nPlayState, 2);
    // Paused by the user before the sleep, it stays paused after it.
    engine.PausePlayback(frame);
    frame.WindowProc(WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    frame.WindowProc(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_FALSE(out.playing);
    EXPECT_EQ(frame.m_nPlayState, 1);
}

} // namespace
} // namespace mixora
