// Which entry plays next: the random generator against the C library's
// published sequence, next and previous, and the repeat modes at the end of
// a track.
#include <gtest/gtest.h>

#include "fakes/playback_fixture.h"
#include "media/random_order.h"

using namespace mixora;
using ::testing::ElementsAre;

namespace {

struct Sequencing : PlaybackFixture {
    Sequencing() {
        for (int i = 0; i < 5; ++i) {
            window.m_playlist.push_back({"/m/" + std::to_string(i) + ".ogg", 100.0});
        }
    }
    // Plays entry `i` to have a control with that file loaded.
    void Playing(int i) {
        window.m_nCurrent = window.m_nTopIndex = i;
        window.m_bReload = 1;
        engine.PlayCurrent(window);
        world.playState = kMediaPlaying;
        world.Take();
    }
};

} // namespace

TEST(RandomOrder, GeneratorGivesTheCLibrarysSequenceAndScalesIntoTheList) {
    // srand(1); rand() x5 of the Microsoft C library.
    std::uint32_t state = 1;
    std::vector<int> values;
    for (int i = 0; i < 5; ++i) {
        values.push_back(NextRandomValue(state));
    }
    EXPECT_THAT(values, ElementsAre(41, 18467, 6334, 26500, 19169));
    EXPECT_EQ(RandomIndexFor(32767, 5), 4);
}

TEST_F(Sequencing, NextAndPreviousWrapAtTheEnds) {
    Playing(4);
    engine.NextTrack(window);
    EXPECT_EQ(std::tuple(window.m_nCurrent, window.m_nTopIndex), std::tuple(0, 0));
    EXPECT_EQ(window.m_strLoadedPath, "/m/0.ogg");
    engine.PreviousTrack(window);
    EXPECT_EQ(std::tuple(window.m_nCurrent, window.m_nTopIndex), std::tuple(4, 4));
    EXPECT_EQ(window.m_strLoadedPath, "/m/4.ogg");
}

TEST_F(Sequencing, TheEndOfATrackByRepeatMode) {
    window.m_nRepeatMode = 2; // the whole list: from the last to the first
    Playing(4);
    engine.OnTrackEnd(window);
    EXPECT_EQ(window.m_strLoadedPath, "/m/0.ogg");
    EXPECT_EQ(window.m_nPlayState, 2);

    window.m_nRepeatMode = 1; // one track: the same file again, not loaded anew
    Playing(2);
    world.playState = kMediaStopped;
    engine.OnTrackEnd(window);
    EXPECT_EQ(window.m_nCurrent, 2);
    EXPECT_THAT(world.Take(), ElementsAre("1168 Play"));

    window.m_nRepeatMode = 0; // no repeat: after a removal from the first entry on
    Playing(3);
    window.m_nSelected = 1;
    engine.RemoveMarkedEntry(window);
    engine.OnTrackEnd(window);
    EXPECT_EQ(window.m_strLoadedPath, "/m/0.ogg");
    window.m_playlist.clear();
    engine.OnTrackEnd(window);
    EXPECT_EQ(std::tuple(window.m_nCurrent, window.m_nPlayState), std::tuple(0, 0));
    EXPECT_EQ(window.m_pPlayer, nullptr);
}

TEST_F(Sequencing, RandomModeNeverRepeatsTheEntryThatJustPlayed) {
    window.m_nRepeatMode = 3;
    window.m_nRandomState = 12345;
    Playing(0);
    for (int i = 0; i < 60; ++i) {
        const int before = window.m_nCurrent;
        if (i % 3 == 0) {
            engine.NextTrack(window);
        } else if (i % 3 == 1) {
            engine.PreviousTrack(window);
        } else {
            engine.OnTrackEnd(window);
        }
        ASSERT_NE(window.m_nCurrent, before);
        ASSERT_EQ(window.m_nTopIndex, window.m_nCurrent);
    }
    window.m_playlist.resize(1);
    window.m_nCurrent = 0;
    engine.NextTrack(window);
    EXPECT_EQ(window.m_nCurrent, 0);
}

TEST_F(Sequencing, PlayPauseFromStoppedInRandomModeDrawsAnEntry) {
    window.m_nRepeatMode = 3;
    window.m_nRandomState = 1; // next values 41 and 18467: entries 0 and 2
    engine.PlayPause(window);
    EXPECT_EQ(window.m_nCurrent, 0);
    engine.PlayPause(window); // the button shows playing: pause, on the same entry
    EXPECT_EQ(std::tuple(window.m_nPlayState, window.m_nCurrent), std::tuple(1, 0));
    engine.StopPlayback(window);
    engine.PlayPause(window);
    EXPECT_EQ(std::tuple(window.m_nCurrent, window.m_nPlayState), std::tuple(2, 2));
}
