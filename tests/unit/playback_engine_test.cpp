// The media engine through fakes: what the media control and the CD device
// are asked, with exact values, for play, pause, stop, steps, seeks and
// volume, and the play state the window shows.
#include <gtest/gtest.h>

#include "device/mixer_control.h"
#include "fakes/fake_device_seams.h"
#include "fakes/fake_media.h"
#include "fakes/mock_frame_seams.h"
#include "fakes/playback_fixture.h"

using namespace mixora;
using ::testing::_;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr int kPlayPause = 1001;

// Packed MSF length: minutes in bits 0-7, seconds in 8-15.
double Msf(int m, int s) {
    return static_cast<double>(m | (s << 8));
}
// "play" line of the CD device: from and to as TMSF.
std::string CdPlay(std::uint32_t flags, std::uint32_t from, std::uint32_t to) {
    return "7 play " + std::to_string(flags) + " from " + Hex(from) + " to " + Hex(to) + " cb";
}

} // namespace

TEST_F(PlaybackFixture, PlayPauseResumeStopFollowThePlayStateTable) {
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

    // Playing already: nothing is sent.
    world.playState = kMediaPlaying;
    engine.PlayCurrent(window);
    EXPECT_TRUE(world.Take().empty());

    // Stop destroys the control; the next play makes a new one and loads again.
    engine.StopPlayback(window);
    EXPECT_THAT(world.Take(), ElementsAre("1168 Stop", "1168 Position 0.000000", "1168 Hide",
                                          "1168 FileName ", "1168 Destroy"));
    EXPECT_EQ(window.m_pPlayer, nullptr);
    EXPECT_EQ(window.m_nPlayState, 0);
    engine.PlayCurrent(window);
    const auto again = world.Take();
    EXPECT_EQ(again.front(), "1168 Create 10,20,110,80 visible");
    EXPECT_NE(std::find(again.begin(), again.end(), "1168 FileName /m/a.mp3"), again.end());
}

TEST_F(PlaybackFixture, EmptyListPlaysNothingAndChangesNothing) {
    engine.PlayCurrent(window);
    EXPECT_TRUE(world.Take().empty());
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

TEST_F(PlaybackFixture, CdTracksPlayPauseStepAndSeekThroughTheCdDevice) {
    // No media control plays ".cda": the probe measures 0.0.
    window.m_playlist = {{"/cd/Track03.cda", Msf(3, 50)}, {"/cd/Track05.cda", Msf(4, 30)}};
    window.m_nPlayState = 0;
    cd.mode = 525;
    engine.PlayCurrent(window);
    EXPECT_EQ(window.m_bCdMode, 1);
    EXPECT_EQ(window.m_wCdDevice, 7u);
    EXPECT_THAT(cd.log,
                ElementsAre("0 open 8192 cdaudio", "7 set 1024 10", "7 status 256 item 4",
                            CdPlay(13, MCI_MAKE_TMSF(3, 0, 0, 0), MCI_MAKE_TMSF(3, 3, 50, 0))));
    EXPECT_EQ(window.m_nPlayState, 2);
    cd.log.clear();

    // Pause keeps the position, resume plays from it to the track's end.
    cd.position = MCI_MAKE_TMSF(3, 1, 5, 12);
    engine.PausePlayback(window);
    EXPECT_EQ(window.m_dCdPausePosition, static_cast<double>(MCI_MAKE_TMSF(3, 1, 5, 12)));
    engine.PlayCurrent(window);
    EXPECT_THAT(cd.log,
                ElementsAre("7 status 256 item 2", "7 pause 2", "7 status 256 item 4",
                            CdPlay(13, MCI_MAKE_TMSF(3, 1, 5, 12), MCI_MAKE_TMSF(3, 3, 50, 0))));
    cd.log.clear();

    // Forward at 3:45 stops at 3:50; backward at 0:10 goes to 0:00, at 1:05 to 0:45.
    cd.position = MCI_MAKE_TMSF(3, 3, 45, 0);
    engine.StepForward(window);
    cd.position = MCI_MAKE_TMSF(3, 0, 10, 0);
    engine.StepBackward(window);
    cd.position = MCI_MAKE_TMSF(3, 1, 5, 0);
    engine.StepBackward(window);
    const std::uint32_t end = MCI_MAKE_TMSF(3, 3, 50, 0);
    EXPECT_THAT(cd.log,
                ElementsAre("7 status 256 item 2", CdPlay(13, MCI_MAKE_TMSF(3, 3, 50, 0), end),
                            "7 status 256 item 2", CdPlay(13, MCI_MAKE_TMSF(3, 0, 0, 0), end),
                            "7 status 256 item 2", CdPlay(13, MCI_MAKE_TMSF(3, 0, 45, 0), end)));
    cd.log.clear();

    // The seeking bar at 0.5 on a 4:30 track plays from 2:15.
    window.m_nCurrent = 1;
    engine.PlayCurrent(window);
    cd.log.clear();
    window.sliders[1099] = 0.5;
    engine.SeekToBar(window);
    EXPECT_THAT(cd.log,
                ElementsAre(CdPlay(13, MCI_MAKE_TMSF(5, 2, 15, 0), MCI_MAKE_TMSF(5, 4, 30, 0))));

    // Stop closes the device; a CD device that cannot be opened still shows playing.
    cd.log.clear();
    engine.StopPlayback(window);
    EXPECT_THAT(cd.log, ElementsAre("7 stop 2", "7 close 0"));
    EXPECT_EQ(window.m_wCdDevice, 0u);
    cd.present = false;
    engine.PlayCurrent(window);
    EXPECT_EQ(window.m_nPlayState, 2);
}

TEST_F(PlaybackFixture, CdTrackNamesAndTheOneTimeCdaProbe) {
    EXPECT_EQ(CPlaybackEngine::TrackNumberFromName("Track07.cda"), 7);
    EXPECT_EQ(CPlaybackEngine::TrackNumberFromName("D:\\Track07.cda"), 7);
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

TEST_F(PlaybackFixture, ProbeIdsSkipTheVisibleControlsId) {
    for (int i = 0; i < 1170; ++i) {
        engine.CreateProbeControl();
    }
    EXPECT_EQ(factory.probeIds[1166], 1167);
    EXPECT_EQ(factory.probeIds[1167], 1169);
    EXPECT_EQ(factory.probeIds[1168], 1170);
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

    // Once it can be made, a skin without a media area still gets a control
    // that plays, not a silent length probe on the empty rectangle.
    world.failVisible = false;
    world.Take();
    engine.PlayCurrent(window);
    EXPECT_EQ(world.Take().at(0), "1168 Create 0,0,1,1 visible");
    EXPECT_EQ(window.m_nPlayState, 2);
}
