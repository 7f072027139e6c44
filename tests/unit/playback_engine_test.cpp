// The media engine through fakes: what the media control is asked for play,
// pause, resume, stop, steps, seeks and volume, and the state the window shows.
#include <gtest/gtest.h>

#include "fakes/playback_fixture.h"

using namespace mixora;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;

namespace {
constexpr int kPlayPause = 1001;
} // namespace

TEST_F(PlaybackFixture, PlayPauseResumeStopAndVolume) {
    engine.PlayCurrent(window); // an empty list plays nothing
    EXPECT_TRUE(world.Take().empty());
    window.m_playlist = {{"/m/a.mp3", 200.0}};
    window.m_nVolume = -1200;
    window.m_bMute = 1;
    engine.PlayCurrent(window);
    // The new control sounds at the window's volume and mute from the start.
    EXPECT_THAT(world.Take(),
                IsSupersetOf({"1168 Volume -1200", "1168 Mute 1", "1168 FileName /m/a.mp3"}));
    EXPECT_EQ(std::tuple(window.m_nPlayState, window.buttons[kPlayPause], window.m_dLength),
              std::tuple(2, 1, 200.0));

    // Pause, then resume: the file is not loaded again.
    world.playState = kMediaPlaying;
    engine.PausePlayback(window);
    EXPECT_EQ(std::tuple(window.m_nPlayState, window.buttons[kPlayPause]), std::tuple(1, 0));
    world.playState = kMediaPaused;
    engine.PlayCurrent(window);
    window.m_nVolume = -1500;
    engine.ApplyVolume(window);
    EXPECT_THAT(world.Take(), ElementsAre("1168 Pause", "1168 Play", "1168 Volume -1500"));

    // Stop releases the control; the next play makes a new one.
    engine.StopPlayback(window);
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
    EXPECT_EQ(world.Take().at(0), "1168 Create 0,0,1,1");
    EXPECT_EQ(window.m_nPlayState, 2);
}
