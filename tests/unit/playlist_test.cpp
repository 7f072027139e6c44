// The playlist: its operations and index rules, the *.pla bytes, the file
// errors, and adding many files measured in parallel.
#include <gtest/gtest.h>

#include "fakes/playback_fixture.h"
#include "fakes/temp_dir.h"
#include "media/playlist_file.h"
#include "platform/posix/posix_file_store.h"

using namespace mixora;
using ::testing::_;
using ::testing::ElementsAre;
using ::testing::Return;

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
    EXPECT_EQ(dialogs.requests.at(0).allowMultiple, true);
    EXPECT_THAT(window.Paths(), ElementsAre("/m/b.ogg", "/m/c.wav"));
    EXPECT_EQ(window.m_playlist[1].length, 4.5);
    EXPECT_EQ(window.m_strLoadedPath, "/m/b.ogg");

    // None playable: the last one stays, with 0.0, and is started.
    dialogs.answers.push_back(std::vector<std::string>{"/x/1.txt", "/x/2.txt", "/x/3.txt"});
    engine.OpenMediaFiles(window);
    Settle();
    ASSERT_EQ(window.m_playlist.size(), 1u);
    EXPECT_EQ(window.m_playlist[0].length, 0.0);
    EXPECT_EQ(window.m_strLoadedPath, "/x/3.txt");
}

TEST_F(PlaybackFixture, AddingTenThousandFilesInParallelGivesTheOneByOneList) {
    std::vector<std::string> chosen;
    std::vector<std::string> expected;
    for (int i = 0; i < 10000; ++i) {
        chosen.push_back("/m/" + std::to_string(i) + (i % 7 == 3 ? ".txt" : ".flac"));
        if (i % 7 != 3) {
            world.durations[chosen.back()] = 1.0 + i;
            expected.push_back(chosen.back());
        }
    }
    window.m_playlist = {{"/m/first.ogg", 5.0}};
    window.m_nCurrent = 0;
    window.m_bReload = 0;
    dialogs.answers.push_back(chosen);
    engine.AddFilesToPlaylist(window);
    EXPECT_EQ(window.busy, 1); // Power waits while files are still coming in
    Settle();
    expected.insert(expected.begin(), "/m/first.ogg");
    EXPECT_EQ(window.Paths(), expected);
    EXPECT_EQ(window.m_playlist[1].length, 1.0);
    EXPECT_EQ(window.busy, 0);
    EXPECT_TRUE(window.m_strProgress.empty());
    EXPECT_EQ(window.m_bReload, 0);

    // An operation on the list meanwhile sees every file appended first.
    dialogs.answers.push_back(std::vector<std::string>{"/m/1.flac", "/m/2.flac"});
    engine.AddFilesToPlaylist(window);
    window.m_nSelected = 0;
    engine.RemoveMarkedEntry(window);
    EXPECT_EQ(window.m_playlist.size(), expected.size() + 1);
}

TEST_F(PlaybackFixture, RemoveAndClearFollowTheIndexRules) {
    window.m_playlist = Entries(8);
    window.m_nCurrent = 5;
    window.m_nTopIndex = 1;
    engine.RemoveMarkedEntry(window); // nothing marked
    EXPECT_EQ(window.m_playlist.size(), 8u);
    window.m_nSelected = 2;
    engine.RemoveMarkedEntry(window);
    EXPECT_EQ(window.m_nCurrent, 4);
    EXPECT_EQ(window.m_nTopIndex, 1);
    EXPECT_EQ(window.m_nSelected, -1);
    EXPECT_EQ(window.m_bReload, 1);
    window.m_nCurrent = 5;
    window.m_nSelected = 5;
    engine.RemoveMarkedEntry(window);
    EXPECT_EQ(window.m_nCurrent, 4);

    window.m_playlist = Entries(4);
    window.m_nCurrent = window.m_nTopIndex = window.m_nSelected = 3;
    engine.ClearPlaylist(window);
    EXPECT_TRUE(window.m_playlist.empty());
    EXPECT_EQ(window.m_nCurrent + window.m_nTopIndex, 0);
    EXPECT_EQ(window.m_nSelected, -1);
    EXPECT_EQ(window.m_bReload, 1);
}

TEST_F(PlaybackFixture, ScrollbarAndTopLineFollowEachOther) {
    window.m_playlist = Entries(11);
    window.sliders[1098] = 0.5;
    engine.ScrollPlaylistFromBar(window);
    EXPECT_EQ(window.m_nTopIndex, 5);
    window.sliders[1098] = 0.0;
    engine.RefreshPlaylistView(window);
    EXPECT_DOUBLE_EQ(window.sliders[1098], 0.5);
    EXPECT_EQ(window.titleErased, 1);
    window.m_bPLScrollReverse = 1;
    window.sliders[1098] = 0.25;
    engine.ScrollPlaylistFromBar(window);
    EXPECT_EQ(window.m_nTopIndex, 7);
}

TEST_F(PlaybackFixture, SavedListIsEveryPathAndAZeroByte) {
    engine.SavePlaylistFile(window); // empty list: no dialog, nothing written
    EXPECT_TRUE(dialogs.requests.empty());
    window.m_playlist = {{"a.mp3", 1.0}, {"b.wav", 2.0}};
    dialogs.answers.push_back(std::vector<std::string>{"/p/l.pla"});
    engine.SavePlaylistFile(window);
    EXPECT_EQ(files.files["/p/l.pla"], std::string("a.mp3\0b.wav\0", 12));
    const FileDialogRequest& r = dialogs.requests.at(0);
    EXPECT_EQ(std::tuple(r.kind, r.overwritePrompt, r.defaultExtension),
              std::tuple(FileDialogRequest::Kind::Save, true, "pla"));
}

TEST_F(PlaybackFixture, LoadedListIsMeasuredAgainAndKeepsTheReloadFlag) {
    files.files["/p/l.pla"] = std::string("/m/a.mp3\0\0/m/gone.ogg\0/m/b.wav\0/m/tail", 38);
    world.durations = {{"/m/a.mp3", 3.0}, {"/m/b.wav", 4.0}, {"/m/tail", 9.0}};
    window.m_playlist = Entries(3);
    window.m_nCurrent = 2;
    window.m_nSelected = 1;
    window.m_bReload = 0;
    dialogs.answers.push_back(std::vector<std::string>{"/p/l.pla"});
    engine.LoadPlaylistFile(window);
    Settle();
    EXPECT_THAT(window.Paths(), ElementsAre("/m/a.mp3", "/m/b.wav"));
    EXPECT_EQ(window.m_nCurrent, 0);
    EXPECT_EQ(window.m_nSelected, -1);
    EXPECT_EQ(window.m_bReload, 0);
}

TEST_F(PlaybackFixture, PlaylistFileThatCannotBeReadKeepsTheList) {
    window.m_playlist = Entries(3);
    files.failures["/p/locked.pla"] = FileError::AccessDenied;
    dialogs.answers.push_back(std::vector<std::string>{"/p/locked.pla"});
    EXPECT_CALL(messages,
                MessageBox("Access to /p/locked.pla was denied.", "Mixora", MB_OK | MB_ICONERROR));
    engine.LoadPlaylistFile(window);
    EXPECT_EQ(window.m_playlist.size(), 3u);

    files.failures["/p/full.pla"] = FileError::DiskFull;
    dialogs.answers.push_back(std::vector<std::string>{"/p/full.pla"});
    EXPECT_CALL(messages, MessageBox("Disk full while accessing /p/full.pla.", "Mixora",
                                     MB_OK | MB_ICONERROR));
    engine.SavePlaylistFile(window);
}

TEST(PlaylistFile, FileErrorsFromTheSystemNameThePath) {
    EXPECT_EQ(FileErrorText(FileErrorFromErrno(ENOENT), "/a.pla"), "/a.pla was not found.");
    EXPECT_EQ(FileErrorText(FileErrorFromErrno(EIO), "/a.pla"),
              "An unexpected error occurred while accessing /a.pla.");
}

TEST(PlaylistFile, LongPathsComeBackWholeAndOverlongEntriesAreSkipped) {
    const std::string deep = "/" + std::string(300, 'd') + "/song.flac";
    const std::string bytes = SerializePlaylist({{deep, 1.0}, {"/b.ogg", 2.0}});
    EXPECT_THAT(ParsePlaylist(bytes), ElementsAre(deep, "/b.ogg"));
    const std::string overlong(4097, 'x');
    EXPECT_THAT(ParsePlaylist(overlong + '\0' + std::string(4096, 'y') + '\0' + "/c.ogg" + '\0'),
                ElementsAre(std::string(4096, 'y'), "/c.ogg"));
}

TEST(PosixFileStore, WritesReplaceTheFileWholeAndFailuresKeepIt) {
    TempDir dir;
    PosixFileStore store;
    dir.Write("l.pla", "old");
    EXPECT_EQ(store.WriteAtomically(dir.File("l.pla"), std::string("new\0", 4)), FileError::None);
    std::string back;
    EXPECT_EQ(store.ReadAll(dir.File("l.pla"), back), FileError::None);
    EXPECT_EQ(back, std::string("new\0", 4));
    EXPECT_EQ(store.WriteAtomically(dir.File("no/such/l.pla"), "x"), FileError::NotFound);
    EXPECT_EQ(store.ReadAll(dir.File("missing.pla"), back), FileError::NotFound);
    EXPECT_EQ(back, std::string("new\0", 4));
}
