// The window's texts: which words go into which cell of the base skin, in
// which colour, and what the picture looks like around them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "app/main_frame.h"
#include "app/playlist_text.h"
#include "fakes/frame_harness.h"

using namespace mixora;
using ::testing::_;
using ::testing::ElementsAre;

namespace {

double PackedMsf(int minutes, int seconds, int frames = 0) {
    return static_cast<double>(minutes | (seconds << 8) | (frames << 16));
}

TEST(TextDisplay, LengthTextOfFilesAndCdTracks) {
    const std::vector<std::tuple<double, bool, std::string>> rows = {
        {125 * 60.0, false, "125:00"},
        {59.9, false, "00:59"},               // fractions are cut, not rounded
        {PackedMsf(4, 5, 70), true, "04:05"}, // frames are not shown
        {PackedMsf(255, 59), true, "255:59"},
        // Values no player reports still give a readable column.
        {-12.0, false, "00:00"},
        {std::numeric_limits<double>::quiet_NaN(), false, "00:00"},
        {1e300, false, "00:00"},
    };
    for (const auto& [value, cd, expected] : rows) {
        EXPECT_EQ(FormatLengthText(value, cd), expected) << value;
    }
}

struct TextDisplayFrame : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};
    std::vector<RECT> invalidated;

    TextDisplayFrame() {
        ON_CALL(host, InvalidateRect(_)).WillByDefault([this](const RECT* rc) {
            invalidated.push_back(rc ? *rc : RECT{-1, -1, -1, -1});
        });
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

TEST_F(TextDisplayFrame, TitleShowsTheLoadedFileNameAndIsPresentedOnlyWhenItChanged) {
    frame.m_strLoadedPath = "/home/ann/Music/Side A/01 Intro.flac";
    frame.DrawTitle();
    EXPECT_TRUE(text.drawn.empty()) << "no playlist, no title";
    Fill(2);
    frame.m_crName = 0x00ABCDEF;
    Scribble(frame.m_rcTitle);
    frame.DrawTitle();
    ASSERT_EQ(text.drawn.size(), 1u);
    const DrawnText& t = text.drawn[0];
    EXPECT_EQ(t.text, "01 Intro.flac");
    EXPECT_EQ(t.clip, frame.m_rcTitle);
    EXPECT_EQ(std::tuple(t.x, t.y, t.fontHeight, t.color, t.opaque),
              std::tuple(frame.m_rcTitle.left, frame.m_rcTitle.top, 16, 0x00ABCDEFu, false));
    // Into the window's own picture, which comes back from SKINBASE under
    // the text and is then presented.
    EXPECT_EQ(t.pixels, frame.m_skin.Surface().data());
    EXPECT_EQ(DifferingFromBase(frame.m_rcTitle), 0);
    EXPECT_THAT(invalidated, ElementsAre(frame.m_rcTitle));

    // The next ticks draw the same: the idle window stays idle.
    text.ink = true;
    frame.m_strLoadedPath = "/music/dir/song0.ogg";
    frame.DrawTitle();
    EXPECT_GT(DifferingFromBase(frame.m_rcTitle), 0);
    invalidated.clear();
    frame.DrawTitle();
    frame.DrawTitle();
    EXPECT_TRUE(invalidated.empty());
    frame.m_strLoadedPath = "/music/dir/song1 (live).ogg";
    frame.DrawTitle();
    EXPECT_THAT(invalidated, ElementsAre(frame.m_rcTitle));
}

TEST_F(TextDisplayFrame, ScrolledListShowsUpToSixEntriesFromTheTop) {
    frame.DrawPlaylistText();
    EXPECT_TRUE(text.drawn.empty()) << "empty playlist";
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
    EXPECT_THAT(Texts(), ElementsAre("song8.ogg", "08:08", "song9.ogg", "09:09"));

    text.drawn.clear();
    invalidated.clear();
    frame.m_nTopIndex = 10;
    frame.DrawPlaylistText();
    EXPECT_TRUE(text.drawn.empty() && invalidated.empty());
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
        const DrawnText& d = text.drawn[i];
        EXPECT_EQ(d.color, i / 2 == 1 ? 0x00445566u : 0x00112233u) << i;
        EXPECT_EQ(d.opaque, i / 2 == 2) << i;
        EXPECT_EQ(d.opaque ? d.background : 0x00778899u, 0x00778899u) << i;
    }
    // The playing entry selected too: drawn opaque in the playing colour.
    text.drawn.clear();
    frame.m_nSelected = 1;
    frame.DrawPlaylistText();
    EXPECT_TRUE(text.drawn[2].opaque);
    EXPECT_EQ(text.drawn[2].color, 0x00445566u);
}

} // namespace
