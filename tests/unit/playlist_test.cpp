// The playlist: its operations and index rules, the *.pla files, and adding
// many files measured in parallel.
#include <gtest/gtest.h>

#include "fakes/playback_fixture.h"
#include "media/playlist_file.h"

using namespace mixora;
using ::testing::ElementsAre;

namespace {

std::vector<PlaylistEntry> Entries(int n) {
    std::vector<PlaylistEntry> out;
    for (int i = 0; i < n; ++i) {
        out.push_back({"/m/" + std::to_string(i) + ".ogg", 60.0});
    }
    return out;
}

} // namespace

TEST_F(PlaybackFixture, OpeningFilesReplacesTheListAndPlaysTheFirst) {
    window.m_playlist = Entries(3);
    window.m_nCurrent = 2;
    world.durations = {{"/m/b.ogg", 30.0}, {"/m/c.wav", 4.5}};
    dialogs.answers.push_back(std::vector<std::string>{"/m/a.txt", "/m/b.ogg", "/m/c.wav"});
    engine.OpenMediaFiles(window);
    Settle();
    EXPECT_THAT(window.Paths(), ElementsAre("/m/b.ogg", "/m/c.wav"));
    EXPECT_EQ(window.m_playlist[1].length, 4.5);
    EXPECT_EQ(window.m_strLoadedPath, "/m/b.ogg");

    // None playable: the last one stays, with 0.0, and is started.
    dialogs.answers.push_back(std::vector<std::string>{"/x/1.txt", "/x/2.txt"});
    engine.OpenMediaFiles(window);
    Settle();
    EXPECT_THAT(window.Paths(), ElementsAre("/x/2.txt"));
    EXPECT_EQ(window.m_strLoadedPath, "/x/2.txt");
}

TEST_F(PlaybackFixture, AddingTenThousandFilesInParallelGivesTheOneByOneList) {
    std::vector<std::string> chosen;
    std::vector<std::string> expected{"/m/first.ogg"};
    for (int i = 0; i < 10000; ++i) {
        chosen.push_back("/m/" + std::to_string(i) + (i % 7 == 3 ? ".txt" : ".flac"));
        if (i % 7 != 3) {
            world.durations[chosen.back()] = 1.0 + i;
            expected.push_back(chosen.back());
        }
    }
    window.m_playlist = {{"/m/first.ogg", 5.0}};
    dialogs.answers.push_back(chosen);
    engine.AddFilesToPlaylist(window);
    EXPECT_EQ(window.busy, 1); // Power waits while files are still coming in
    Settle();
    EXPECT_EQ(window.Paths(), expected);
    EXPECT_EQ(window.m_playlist[1].length, 1.0);
    EXPECT_EQ(window.busy, 0);

    // An operation on the list meanwhile sees every file appended first.
    dialogs.answers.push_back(std::vector<std::string>{"/m/1.flac", "/m/2.flac"});
    engine.AddFilesToPlaylist(window);
    window.m_nSelected = 0;
    engine.RemoveMarkedEntry(window);
    EXPECT_EQ(window.m_playlist.size(), expected.size() + 1);
}

TEST_F(PlaybackFixture, RemoveAndClearKeepThePlayingEntryInPlace) {
    window.m_playlist = Entries(8);
    window.m_nCurrent = 5;
    engine.RemoveMarkedEntry(window); // nothing marked
    EXPECT_EQ(window.m_playlist.size(), 8u);
    window.m_nSelected = 2; // a line above the playing one
    engine.RemoveMarkedEntry(window);
    EXPECT_EQ(std::tuple(window.m_nCurrent, window.m_nSelected), std::tuple(4, -1));
    EXPECT_EQ(window.m_playlist[4].path, "/m/5.ogg");

    engine.ClearPlaylist(window);
    EXPECT_TRUE(window.m_playlist.empty());
    EXPECT_EQ(window.m_nCurrent + window.m_nTopIndex, 0);
}

TEST_F(PlaybackFixture, ScrollbarAndTopLineFollowEachOther) {
    window.m_playlist = Entries(11);
    window.sliders[1098] = 1.0; // the bar's end shows the last line at the top
    engine.ScrollPlaylistFromBar(window);
    EXPECT_EQ(window.m_nTopIndex, 10);
    window.m_nTopIndex = 5;
    engine.RefreshPlaylistView(window);
    EXPECT_DOUBLE_EQ(window.sliders[1098], 0.5);
    window.m_bPLScrollReverse = 1; // skins that draw the bar upside down
    window.sliders[1098] = 1.0;
    engine.ScrollPlaylistFromBar(window);
    EXPECT_EQ(window.m_nTopIndex, 0);
}

TEST_F(PlaybackFixture, SavedAndLoadedListsAreRealFiles) {
    // A *.pla file is every path followed by one zero byte; saving replaces
    // the old file whole.
    dir.Write("l.pla", "an older and longer list");
    window.m_playlist = {{"/m/a.mp3", 3.0}, {"/m/b.wav", 4.0}};
    dialogs.answers.push_back({dir.File("l.pla")});
    engine.SavePlaylistFile(window);
    std::string saved;
    ASSERT_EQ(files.ReadAll(dir.File("l.pla"), saved), FileError::None);
    EXPECT_EQ(saved, std::string("/m/a.mp3\0/m/b.wav\0", 18));

    // Loading measures every entry again and drops what no longer plays;
    // an empty entry and an unfinished last one are skipped.
    dir.Write("m.pla", std::string("/m/b.wav\0\0/m/gone.ogg\0/m/a.mp3\0/m/tail", 38));
    world.durations = {{"/m/a.mp3", 3.0}, {"/m/b.wav", 4.0}, {"/m/tail", 9.0}};
    window.m_nCurrent = 1;
    dialogs.answers.push_back({dir.File("m.pla")});
    engine.LoadPlaylistFile(window);
    Settle();
    EXPECT_THAT(window.Paths(), ElementsAre("/m/b.wav", "/m/a.mp3"));
    EXPECT_EQ(window.m_nCurrent, 0);

    // Files that cannot be read or written are named to the user; the list stays.
    dialogs.answers.push_back({dir.File("none.pla")});
    EXPECT_CALL(messages, MessageBox(dir.File("none.pla") + " was not found.", "Mixora",
                                     MB_OK | MB_ICONERROR));
    engine.LoadPlaylistFile(window);
    EXPECT_EQ(window.m_playlist.size(), 2u);
    dialogs.answers.push_back({dir.File("no/such/l.pla")});
    EXPECT_CALL(messages, MessageBox(dir.File("no/such/l.pla") + " was not found.", "Mixora",
                                     MB_OK | MB_ICONERROR));
    engine.SavePlaylistFile(window);
}

TEST(PlaylistFile, LongPathsComeBackWholeAndOverlongEntriesAreSkipped) {
    // Linux paths reach 4096 bytes with their end.
    const std::string deep = "/" + std::string(300, 'd') + "/song.flac";
    const std::string bytes = SerializePlaylist({{deep, 1.0}, {"/b.ogg", 2.0}});
    EXPECT_THAT(ParsePlaylist(bytes), ElementsAre(deep, "/b.ogg"));
    const std::string overlong(4097, 'x');
    EXPECT_THAT(ParsePlaylist(overlong + '\0' + std::string(4096, 'y') + '\0' + "/c.ogg" + '\0'),
                ElementsAre(std::string(4096, 'y'), "/c.ogg"));
}
