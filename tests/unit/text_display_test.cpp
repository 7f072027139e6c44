// The window's texts: which words go into which cell of the base skin, in
// which colour, and what the picture looks like around them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/main_frame.h"
#include "app/playlist_text.h"
#include "fakes/frame_harness.h"

using namespace mixora;
using ::testing::_;
using ::testing::Invoke;

namespace {

double PackedMsf(int minutes, int seconds, int frames = 0) {
    return static_cast<double>(minutes | (seconds << 8) | (frames << 16));
}

TEST(TextDisplay, LengthTextOfFilesAndCdTracks) {
    EXPECT_EQ(FormatLengthText(90 * 60.0, false), "90:00");
    EXPECT_EQ(FormatLengthText(125 * 60.0, false), "125:00");
    EXPECT_EQ(FormatLengthText(0.0, false), "00:00");
    EXPECT_EQ(FormatLengthText(59.9, false), "00:59"); // fractions are cut, not rounded
    EXPECT_EQ(FormatLengthText(3 * 60 + 7.5, false), "03:07");
    EXPECT_EQ(FormatLengthText(PackedMsf(4, 5), true), "04:05");
    EXPECT_EQ(FormatLengthText(PackedMsf(4, 5, 70), true), "04:05"); // frames are not shown
    EXPECT_EQ(FormatLengthText(PackedMsf(255, 59), true), "255:59");
    // Values no player reports still give a readable column.
    EXPECT_EQ(FormatLengthText(-12.0, false), "00:00");
    EXPECT_EQ(FormatLengthText(std::numeric_limits<double>::quiet_NaN(), false), "00:00");
    EXPECT_EQ(FormatLengthText(1e300, false), "00:00");
}

TEST(TextDisplay, WhichEntriesHoldPackedCdTimes) {
    EXPECT_TRUE(HasPackedCdLength({"cdda://4", 0}));
    EXPECT_TRUE(HasPackedCdLength({"Track01.cda", 0}));
    EXPECT_TRUE(HasPackedCdLength({"/media/cd/Track07.cda", 0}));
    EXPECT_FALSE(HasPackedCdLength({"/media/cd/TRACK07.CDA", 0}));
    EXPECT_FALSE(HasPackedCdLength({"/music/song.mp3", 0}));
    EXPECT_FALSE(HasPackedCdLength({"/music/cdda://x.ogg", 0}));
    EXPECT_EQ(FormatLengthText(PlaylistEntry{"Track02.cda", PackedMsf(4, 5)}), "04:05");
    EXPECT_EQ(FormatLengthText(PlaylistEntry{"/music/long.ogg", 90 * 60.0}), "90:00");
}

TEST(TextDisplay, FileNameIsThePartAfterTheLastSeparator) {
    EXPECT_EQ(FileNameOf("/home/ann/Music/a b.mp3"), "a b.mp3");
    EXPECT_EQ(FileNameOf("C:\\Music\\old.wav"), "old.wav");
    EXPECT_EQ(FileNameOf("/mnt/share\\dir/x\\last.ogg"), "last.ogg");
    EXPECT_EQ(FileNameOf("plain.flac"), "plain.flac");
    EXPECT_EQ(FileNameOf("/music/"), "");
    EXPECT_EQ(FileNameOf("/音楽/曲.mp3"), "曲.mp3");
}

struct TextDisplayFrame : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};
    std::vector<RECT> invalidated;

    TextDisplayFrame() {
        ON_CALL(host, InvalidateRect(_)).WillByDefault(Invoke([this](const RECT* rc) {
            invalidated.push_back(rc ? *rc : RECT{-1, -1, -1, -1});
        }));
        frame.OnCreate();
        frame.m_skin.PaintSkin();
        text.drawn.clear();
        invalidated.clear();
    }

    void Fill(int entries) {
        frame.m_playlist.clear();
        for (int i = 0; i < entries; ++i) {
            frame.m_playlist.push_back(
                {"/music/dir/song" + std::to_string(i) + ".ogg", 60.0 * i + i});
        }
    }

    // Paints `rc` of the picture a colour the base skin does not use.
    void Scribble(const RECT& rc) {
        SurfaceView view = frame.m_skin.View();
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                view.pixels[static_cast<std::size_t>(y) * view.width + x] = 0xFF123456;
    }

    // How many pixels of `rc` differ from SKINBASE.
    int DifferingFromBase(const RECT& rc) const {
        const auto& surface = frame.m_skin.Surface();
        const int width = frame.m_skin.Size().cx;
        int differing = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                differing += surface[static_cast<std::size_t>(y) * width + x] !=
                             frame.m_skin.Base().At(x, y);
        return differing;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const DrawnText& d : text.drawn)
            out.push_back(d.text);
        return out;
    }
};

TEST_F(TextDisplayFrame, FontsAreAsHighAsTheirRectangles) {
    EXPECT_EQ(frame.m_rcPlaylist, (RECT{176, 280, 348, 358}));
    EXPECT_EQ(frame.m_fontPlaylist, 13);
    EXPECT_EQ(frame.m_nVisibleLines, 6);
    EXPECT_EQ(frame.m_fontTitle, frame.m_rcTitle.bottom - frame.m_rcTitle.top);
    EXPECT_EQ(frame.m_fontTitle, 16);
}

TEST_F(TextDisplayFrame, TitleShowsTheLoadedFileNameOnlyWithAPlaylist) {
    frame.m_strLoadedPath = "/home/ann/Music/Side A/01 Intro.flac";
    frame.DrawTitle();
    EXPECT_TRUE(text.drawn.empty()) << "no playlist, no title";

    Fill(2);
    frame.m_strLoadedPath.clear();
    frame.DrawTitle();
    EXPECT_TRUE(text.drawn.empty()) << "nothing loaded, no title";

    frame.m_strLoadedPath = "/home/ann/Music/Side A/01 Intro.flac";
    frame.m_crName = 0x00ABCDEF;
    Scribble(frame.m_rcTitle);
    frame.DrawTitle();
    ASSERT_EQ(text.drawn.size(), 1u);
    const DrawnText& t = text.drawn[0];
    EXPECT_EQ(t.text, "01 Intro.flac");
    EXPECT_EQ(t.clip, frame.m_rcTitle);
    EXPECT_EQ(t.x, frame.m_rcTitle.left);
    EXPECT_EQ(t.y, frame.m_rcTitle.top);
    EXPECT_EQ(t.fontHeight, 16);
    EXPECT_EQ(t.color, 0x00ABCDEFu);
    EXPECT_FALSE(t.opaque);
    // Into the window's own picture, which comes back from SKINBASE under
    // the text and is then presented.
    EXPECT_EQ(t.pixels, frame.m_skin.Surface().data());
    EXPECT_EQ(t.surfaceWidth, frame.m_skin.Size().cx);
    EXPECT_EQ(t.surfaceHeight, frame.m_skin.Size().cy);
    EXPECT_EQ(DifferingFromBase(frame.m_rcTitle), 0);
    EXPECT_THAT(invalidated, ::testing::ElementsAre(frame.m_rcTitle));
}

TEST_F(TextDisplayFrame, OnlyATitleThatChangedIsPresented) {
    text.ink = true;
    Fill(2);
    frame.m_strLoadedPath = "/music/dir/song0.ogg";
    frame.DrawTitle();
    EXPECT_THAT(invalidated, ::testing::ElementsAre(frame.m_rcTitle));
    EXPECT_GT(DifferingFromBase(frame.m_rcTitle), 0);

    // The next ticks draw the same: the idle window stays idle.
    invalidated.clear();
    frame.DrawTitle();
    frame.DrawTitle();
    EXPECT_TRUE(invalidated.empty());
    EXPECT_EQ(text.drawn.size(), 3u);

    frame.m_strLoadedPath = "/music/dir/song1 (live).ogg";
    frame.DrawTitle();
    EXPECT_THAT(invalidated, ::testing::ElementsAre(frame.m_rcTitle));
}

TEST_F(TextDisplayFrame, LinesGoIntoCellsOneLineHeightApart) {
    text.ink = true;
    Fill(3); // fewer entries than the six lines
    frame.DrawPlaylistText();
    EXPECT_THAT(Texts(), ::testing::ElementsAre("song0.ogg", "00:00", "song1.ogg", "01:01",
                                                "song2.ogg", "02:02"));
    const RECT name = frame.m_rcPlaylistLine;
    const RECT time = frame.m_rcTimeColumn;
    ASSERT_EQ(name.bottom - name.top, 13);
    for (int line = 0; line < 3; ++line) {
        const DrawnText& n = text.drawn[static_cast<std::size_t>(2 * line)];
        const DrawnText& t = text.drawn[static_cast<std::size_t>(2 * line + 1)];
        const int dy = 13 * line;
        EXPECT_EQ(n.clip, (RECT{name.left, name.top + dy, name.right, name.bottom + dy})) << line;
        EXPECT_EQ(t.clip, (RECT{time.left, time.top + dy, time.right, time.bottom + dy})) << line;
        EXPECT_EQ(n.x, name.left);
        EXPECT_EQ(n.y, name.top + dy);
        EXPECT_EQ(t.x, time.left);
        EXPECT_EQ(t.y, time.top + dy);
        EXPECT_EQ(n.fontHeight, 13);
        EXPECT_EQ(t.fontHeight, 13);
    }
    // The lines stay inside the playlist area, and what changed is presented.
    EXPECT_LE(text.drawn.back().clip.bottom, frame.m_rcPlaylist.bottom);
    ASSERT_EQ(invalidated.size(), 1u);
    EXPECT_EQ(invalidated[0].top, std::min(name.top, time.top));
    EXPECT_EQ(invalidated[0].bottom, std::max(name.bottom, time.bottom) + 26);
    EXPECT_EQ(invalidated[0].left, std::min(name.left, time.left));
    EXPECT_EQ(invalidated[0].right, std::max(name.right, time.right));
}

TEST_F(TextDisplayFrame, OnlyLinesThatChangedArePresented) {
    text.ink = true;
    Fill(3);
    frame.DrawPlaylistText();
    ASSERT_EQ(invalidated.size(), 1u);

    invalidated.clear();
    frame.DrawPlaylistText();
    frame.DrawPlaylistText();
    EXPECT_TRUE(invalidated.empty()) << "the same lines again";

    frame.m_nSelected = 1;
    frame.DrawPlaylistText();
    EXPECT_EQ(invalidated.size(), 1u);
    // The selected line keeps its fill; the others are as the skin has them.
    const RECT second{frame.m_rcPlaylistLine.left, frame.m_rcPlaylistLine.top + 13,
                      frame.m_rcPlaylistLine.right, frame.m_rcPlaylistLine.bottom + 13};
    const std::uint32_t fill = 0xFF000000u | (frame.m_crSelected & 0xFF) << 16 |
                               (frame.m_crSelected & 0xFF00) | (frame.m_crSelected >> 16 & 0xFF);
    EXPECT_EQ(frame.m_skin
                  .Surface()[static_cast<std::size_t>(second.bottom - 1) * frame.m_skin.Size().cx +
                             second.right - 1],
              fill);
}

TEST_F(TextDisplayFrame, ScrolledListShowsSixEntriesFromTheTop) {
    Fill(10);
    frame.m_nTopIndex = 3;
    frame.DrawPlaylistText();
    ASSERT_EQ(text.drawn.size(), 12u);
    EXPECT_EQ(text.drawn.front().text, "song3.ogg");
    EXPECT_EQ(text.drawn[10].text, "song8.ogg");
    EXPECT_EQ(text.drawn.back().clip.bottom, frame.m_rcTimeColumn.bottom + 5 * 13);

    text.drawn.clear();
    frame.m_nTopIndex = 8; // two entries left
    frame.DrawPlaylistText();
    EXPECT_THAT(Texts(), ::testing::ElementsAre("song8.ogg", "08:08", "song9.ogg", "09:09"));
}

TEST_F(TextDisplayFrame, NothingIsDrawnWithoutEntriesToShow) {
    frame.DrawPlaylistText();
    EXPECT_TRUE(text.drawn.empty()) << "empty playlist";
    Fill(4);
    for (int top : {4, 7, -1}) {
        frame.m_nTopIndex = top;
        frame.DrawPlaylistText();
        EXPECT_TRUE(text.drawn.empty()) << "top index " << top;
    }
    EXPECT_TRUE(invalidated.empty());
}

TEST_F(TextDisplayFrame, SelectedLineIsOpaqueAndPlayingLineHasItsColour) {
    Fill(4);
    frame.m_crPlaylist = 0x00112233;
    frame.m_crPlaying = 0x00445566;
    frame.m_crSelected = 0x00778899;
    frame.m_nCurrent = 1;
    frame.m_nSelected = 2;
    frame.DrawPlaylistText();
    ASSERT_EQ(text.drawn.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        const int entry = static_cast<int>(i / 2);
        const DrawnText& d = text.drawn[i];
        EXPECT_EQ(d.color, entry == 1 ? 0x00445566u : 0x00112233u) << i;
        EXPECT_EQ(d.opaque, entry == 2) << i;
        if (d.opaque) {
            EXPECT_EQ(d.background, 0x00778899u);
        }
    }

    // The playing entry selected too: drawn opaque in the playing colour.
    text.drawn.clear();
    frame.m_nSelected = 1;
    frame.DrawPlaylistText();
    EXPECT_TRUE(text.drawn[2].opaque);
    EXPECT_EQ(text.drawn[2].color, 0x00445566u);
    EXPECT_EQ(text.drawn[2].background, 0x00778899u);
}

TEST_F(TextDisplayFrame, CdTrackAndLongFileLengths) {
    frame.m_playlist = {{"Track01.cda", PackedMsf(4, 5)},
                        {"/music/live.ogg", 90 * 60.0},
                        {"/music/opera.ogg", 125 * 60.0}};
    frame.DrawPlaylistText();
    EXPECT_THAT(Texts(), ::testing::ElementsAre("Track01.cda", "04:05", "live.ogg", "90:00",
                                                "opera.ogg", "125:00"));
}

TEST_F(TextDisplayFrame, RedrawnLinesStartFromTheSkinEachTick) {
    Fill(2);
    const RECT firstName = frame.m_rcPlaylistLine;
    const RECT secondTime{frame.m_rcTimeColumn.left, frame.m_rcTimeColumn.top + 13,
                          frame.m_rcTimeColumn.right, frame.m_rcTimeColumn.bottom + 13};
    Scribble(firstName);
    Scribble(secondTime);
    frame.DrawPlaylistText();
    EXPECT_EQ(DifferingFromBase(firstName), 0);
    EXPECT_EQ(DifferingFromBase(secondTime), 0);
}

TEST_F(TextDisplayFrame, RefreshRestoresTheWholeAreaThenDrawsTheLines) {
    Fill(2);
    Scribble(frame.m_rcPlaylist);
    frame.RefreshPlaylist();
    EXPECT_EQ(DifferingFromBase(frame.m_rcPlaylist), 0);
    EXPECT_EQ(text.drawn.size(), 4u);
    ASSERT_FALSE(invalidated.empty());
    EXPECT_EQ(invalidated[0], frame.m_rcPlaylist);

    // An emptied list leaves the bare area.
    frame.m_playlist.clear();
    text.drawn.clear();
    Scribble(frame.m_rcPlaylist);
    frame.RefreshPlaylist();
    EXPECT_EQ(DifferingFromBase(frame.m_rcPlaylist), 0);
    EXPECT_TRUE(text.drawn.empty());
}

} // namespace
