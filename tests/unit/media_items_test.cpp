// What a person hands the program from outside: the command line, lists
// written by other players, folders; and the remote requests reaching the
// window's commands and playlist operations.
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/control_ids.h"
#include "app/remote_control.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "media/media_items.h"
#include "media/playlist_lists.h"
#include "platform/posix/posix_file_store.h"
#include "platform/posix/posix_folder_reader.h"

using namespace mixora;
using ::testing::_;
using ::testing::ElementsAre;

namespace {

CommandLine Parse(std::vector<const char*> args) {
    return ParseCommandLine(args);
}

TEST(CommandLineTest, OptionsItemsAndAnswers) {
    const CommandLine run = Parse({"a.ogg", "--enqueue", "-platform", "offscreen", "--", "-b.ogg"});
    EXPECT_EQ(run.action, CommandLine::Action::Run);
    EXPECT_TRUE(run.enqueue);
    EXPECT_THAT(run.items, ElementsAre("a.ogg", "-b.ogg"));
    EXPECT_EQ(Parse({"x", "--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(Parse({"--shuffle"}).error, "unknown option --shuffle");

    EXPECT_EQ(AbsoluteItem("./sub/a.ogg", "/m/"), "/m/sub/a.ogg");
    EXPECT_EQ(AbsoluteItem("/x/a.ogg", "/m"), "/x/a.ogg");
    EXPECT_EQ(AbsoluteItem("file:///x/a%20b.ogg", "/m"), "file:///x/a%20b.ogg");
    EXPECT_EQ(AbsoluteItem("C:song.ogg", "/m"), "/m/C:song.ogg");
}

TEST(PlaylistListsTest, M3uAndPlsEntriesRelativeToTheListInTheirOrder) {
    const std::string m3u = "\xEF\xBB\xBF#EXTM3U\r\n"
                            "#EXTINF:123,Artist - Title\r\n"
                            "one.ogg\r\n"
                            "\r\n"
                            "  sub\\two.mp3  \n"
                            "/abs/three.flac\n"
                            "http://radio.example/stream\n"
                            "file:///abs/four%20five.ogg\n"
                            "file://otherhost/six.ogg\n"
                            "last.wav";
    EXPECT_THAT(ParseM3u(m3u, "/lists"),
                ElementsAre("/lists/one.ogg", "/lists/sub/two.mp3", "/abs/three.flac",
                            "/abs/four five.ogg", "/lists/last.wav"));
    // Numbers may come in any order and with gaps; the list plays by them.
    const std::string pls = "[playlist]\n"
                            "File2=b.ogg\n"
                            "Title2=Bee\n"
                            "file10 = /abs/j.ogg\n"
                            "File1=a.ogg\n"
                            "File3=https://host/stream\n"
                            "Filex=x.ogg\n"
                            "NumberOfEntries=3\n";
    EXPECT_THAT(ParsePls(pls, "/l"), ElementsAre("/l/a.ogg", "/l/b.ogg", "/abs/j.ogg"));
    EXPECT_EQ(ListFormatOf("/a/B.M3U8"), ListFormat::M3u);
    EXPECT_EQ(ListFormatOf("/a/m3u"), ListFormat::None);
}

TEST(MediaItemsTest, FoldersWalkedInNameOrderAndListsRead) {
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.File("album/cd2"));
    fs::create_directories(dir.File("album/.hidden"));
    for (const char* name : {"album/b.ogg", "album/a.ogg", "album/cd2/c.ogg", "album/.hidden/h.ogg",
                             "album/list.m3u", "album/z.ogg"}) {
        dir.Write(name, "x");
    }
    dir.Write("mix.m3u", "#EXTM3U\nalbum/z.ogg\n");
    dir.Write("mix.pla", std::string("/p/one.ogg\0/p/two.ogg\0", 22));
    dir.Write("mix.pls", "[playlist]\nFile1=pls.ogg\n");
    PosixFolderReader folders;
    PosixFileStore files;
    const std::vector<std::string> got =
        ExpandMediaItems({dir.File("album"), dir.File("mix.m3u"), "file://" + dir.File("mix.pla"),
                          dir.File("mix.pls"), "http://radio/stream", dir.File("single.ogg")},
                         folders, files);
    EXPECT_THAT(got,
                ElementsAre(dir.File("album/a.ogg"), dir.File("album/b.ogg"),
                            dir.File("album/cd2/c.ogg"), dir.File("album/z.ogg"),
                            dir.File("album/z.ogg"), "/p/one.ogg", "/p/two.ogg",
                            dir.File("pls.ogg"), "http://radio/stream", dir.File("single.ogg")));
}

// The remote side on the real base skin: every request is the command of
// the control that does the same, or the playlist operation of the dialogs.
struct RemoteControlTest : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};
    PosixFolderReader folders;
    PosixFileStore files;
    std::unique_ptr<CRemoteControl> remote;
    RemoteControlTest() {
        frame.OnCreate();
        remote = std::make_unique<CRemoteControl>(frame, playback, mci, folders, files);
    }
};

TEST_F(RemoteControlTest, TransportReachesTheButtonsCommands) {
    EXPECT_CALL(playback, PlayPause(_)).Times(2);
    EXPECT_CALL(playback, NextTrack(_));
    EXPECT_CALL(playback, PreviousTrack(_));
    EXPECT_CALL(playback, StopPlayback(_));
    remote->Transport(TransportCommand::PlayPause);
    remote->Transport(TransportCommand::Pause); // the button shows Play: nothing to pause
    remote->Transport(TransportCommand::Play);
    frame.m_skin.SetButtonState(ID_PLAY_PAUSE, 1);
    remote->Transport(TransportCommand::Play); // already playing
    remote->Transport(TransportCommand::Next);
    remote->Transport(TransportCommand::Previous);
    remote->Transport(TransportCommand::Stop);
}

TEST_F(RemoteControlTest, SettingsGoThroughTheControls) {
    EXPECT_CALL(playback, ApplyVolume(_));
    remote->SetVolume(0.25); // a quarter of the bar: -22.5 dB, to one pixel
    EXPECT_NEAR(frame.m_nVolume, -2250, 75);
    EXPECT_NEAR(remote->Status().volume, 0.25, 0.025); // reads back as set, to one pixel
    remote->SetRepeatMode(3);
    EXPECT_EQ(frame.m_skin.GetButtonState(ID_REPEAT), 3);
    remote->SetRepeatMode(1);
    EXPECT_EQ(remote->Status().repeatMode, 1);
    // A seek is a drag of the seeking bar to the same place.
    frame.m_nPlayState = 2;
    frame.m_dLength = 200.0;
    frame.m_strLoadedPath = "/m/a.ogg";
    EXPECT_CALL(playback, SeekToBar(_)).WillOnce([](CMainFrame& f) {
        EXPECT_NEAR(f.m_skin.GetSliderFraction(ID_SEEKING_BAR), 0.25, 0.01);
    });
    remote->SeekTo(50.0);
}

TEST_F(RemoteControlTest, DropsAppendOnThePlaylistAndOpenElsewhere) {
    const RECT& pl = frame.m_rcPlaylist;
    ASSERT_GT(pl.right, pl.left);
    EXPECT_CALL(playback, AddPaths(_, ElementsAre("/m/a.ogg")));
    remote->Drop({"/m/a.ogg"}, {pl.left + 1, pl.top + 1});
    EXPECT_CALL(playback, OpenPaths(_, ElementsAre("/m/b.ogg", "/m/c d.ogg")));
    remote->Drop({"/m/b.ogg", "file:///m/c%20d.ogg"}, {pl.left - 1, pl.top + 1});
    EXPECT_CALL(playback, AddPaths(_, _)).Times(0);
    remote->Open({}, OpenMode::Append);
}

TEST_F(RemoteControlTest, ListenerHearsOfChangesOnlyAfterAMessage) {
    int calls = 0;
    remote->SetStatusListener([&] { ++calls; });
    frame.WindowProc(WM_TIMER, kTimerId, 0);
    EXPECT_EQ(calls, 0);
    frame.m_playlist.push_back({"/m/a.ogg", 61.5});
    EXPECT_EQ(calls, 0);
    frame.WindowProc(WM_COMMAND, ID_REPEAT, 0);
    EXPECT_EQ(calls, 1);
    const PlayerStatus s = remote->Status();
    EXPECT_EQ(s.entry, 0);
    EXPECT_EQ(s.path, "/m/a.ogg");
    EXPECT_DOUBLE_EQ(s.lengthSeconds, 61.5);
}

} // namespace
