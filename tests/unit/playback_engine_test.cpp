// The media engine through fakes: what the media control is asked, with
// exact values, for play, pause, stop, steps, seeks and volume, and the play
// state the window shows.
#include <gtest/gtest.h>

#include "fakes/playback_fixture.h"

using namespace mixora;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {
constexpr int kPlayPause = 1001;
} // namespace

TEST_F(PlaybackFixture, PlayPauseResumeStopFollowThePlayStateTable) {
    engine.PlayCurrent(window); // an empty list plays nothing
    EXPECT_TRUE(world.Take().empty());
    world.durations["/m/a.mp3"] = 200.0;
    window.m_playlist = {{"/m/a.mp3", 200.0}};
    window.m_nVolume = -1200;
    window.m_bMute = 1;
    window.m_rcMedia = RECT{10, 20, 110, 80};

    engine.PlayCurrent(window);
    EXPECT_THAT(world.Take(), ElementsAre("1168 Create 10,20,110,80 visible", "1168 Switch 23 0",
                                          "1168 Switch 1063 0", "1168 Switch 1064 0",
                                          "1168 Switch 1025 0", "1168 Hide", "1168 Volume -1200",
                                          "1168 Mute 1", "1168 FileName /m/a.mp3", "1168 Hide"));
    EXPECT_EQ(window.m_nPlayState, 2);
    EXPECT_EQ(window.buttons[kPlayPause], 1);
    EXPECT_EQ(window.m_strLoadedPath, "/m/a.mp3");
    EXPECT_EQ(window.m_dLength, 200.0);
    EXPECT_EQ(window.m_bReload, 0);

    // Pause, then resume: Pause, then Play, and the file is not given again.
    world.playState = kMediaPlaying;
    engine.PausePlayback(window);
    EXPECT_EQ(window.m_nPlayState, 1);
    EXPECT_EQ(window.buttons[kPlayPause], 0);
    world.playState = kMediaPaused;
    world.pictures["/m/a.mp3"] = 1;
    engine.PlayCurrent(window);
    EXPECT_THAT(world.Take(), ElementsAre("1168 Pause", "1168 Show", "1168 Play"));
    EXPECT_EQ(window.m_nPlayState, 2);

    // Stop destroys the control; the next play makes a new one and loads again.
    engine.StopPlayback(window);
    EXPECT_THAT(world.Take(), ElementsAre("1168 Stop", "1168 Position 0.000000", "1168 Hide",
                                          "1168 FileName ", "1168 Destroy"));
    EXPECT_EQ(window.m_pPlayer, nullptr);
    EXPECT_EQ(window.m_nPlayState, 0);
}

TEST_F(PlaybackFixture, StepsAndSeeksOnAFileMoveByTenthsOfItsLength) {
    world.durations["/m/a.mp3"] = 200.0;
    window.m_playlist = {{"/m/a.mp3", 200.0}};
    engine.StepForward(window); // stopped: nothing
    engine.PlayCurrent(window);
    world.Take();

    world.position = 190.0;
    engine.StepForward(window);
    world.position = 5.0;
    engine.StepBackward(window);
    world.position = 100.0;
    engine.StepForward(window);
    window.sliders[1099] = 0.25;
    engine.SeekToBar(window);
    EXPECT_THAT(world.Take(), ElementsAre("1168 Position 200.000000", "1168 Position 0.000000",
                                          "1168 Position 120.000000", "1168 Position 50.000000"));
}

TEST_F(PlaybackFixture, CdTrackNamesAndTheOneTimeCdaProbe) {
    EXPECT_EQ(CPlaybackEngine::TrackNumberFromName("Track07.cda"), 7);
    EXPECT_EQ(CPlaybackEngine::TrackNumberFromName("/cd/Track 12x.cda"), 12);
    EXPECT_EQ(CPlaybackEngine::TrackNumberFromName("/cd/Track.cda"), 0);
    EXPECT_FALSE(engine.IsMciCdTrack("/cd/Track01.CDA"));
    // No probe can be made: counts as a CD track and is asked again next time.
    world.failProbes = true;
    EXPECT_TRUE(engine.IsMciCdTrack("/cd/Track01.cda"));
    world.failProbes = false;
    world.durations["/cd/Track02.cda"] = 61.0; // this control plays ".cda" itself
    EXPECT_FALSE(engine.IsMciCdTrack("/cd/Track02.cda"));
    EXPECT_FALSE(engine.IsMciCdTrack("/cd/Track03.cda"));
    EXPECT_EQ(factory.probeIds, (std::vector<int>{1, 2}));
}

TEST_F(PlaybackFixture, VolumeAndMuteReachThePlayingControl) {
    world.durations["/m/a.ogg"] = 10.0;
    window.m_playlist = {{"/m/a.ogg", 10.0}};
    engine.ApplyVolume(window); // no control yet: nothing to send
    engine.PlayCurrent(window);
    world.Take();
    window.m_nVolume = -1500;
    engine.ApplyVolume(window);
    window.m_bMute = 1;
    engine.ApplyMute(window);
    EXPECT_THAT(world.Take(), ElementsAre("1168 Volume -1500", "1168 Mute 1"));
}

TEST_F(PlaybackFixture, MissingMediaEngineIsReportedAndTheProgramKeepsRunning) {
    world.failVisible = true;
    window.m_playlist = {{"/m/a.mp3", 10.0}};
    EXPECT_CALL(messages,
                MessageBox(HasSubstr("Playback is unavailable"), "Mixora", MB_OK | MB_ICONERROR));
    engine.PlayCurrent(window);
    EXPECT_EQ(window.m_pPlayer, nullptr);
    EXPECT_EQ(window.m_nPlayState, 0); // not claimed to play

    // A skin without a media area still gets a control that plays, not a
    // silent length probe on the empty rectangle.
    world.failVisible = false;
    world.Take();
    engine.PlayCurrent(window);
    EXPECT_EQ(world.Take().at(0), "1168 Create 0,0,1,1 visible");
    EXPECT_EQ(window.m_nPlayState, 2);
}
