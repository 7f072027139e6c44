// The living surface without a display: what the picture shows under the
// pointer, which commands a press and release post, and what each tick draws.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "fakes/frame_harness.h"

using namespace mixora;
using ::testing::_;
using ::testing::Invoke;
using ::testing::Return;

namespace {

constexpr std::uint32_t MK_LBUTTON = 1;

struct SurfaceTest : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};
    std::vector<int> commands;

    SurfaceTest() {
        ON_CALL(host, PostMessage(WM_COMMAND, _, _))
            .WillByDefault(Invoke([this](UINT, WPARAM w, LPARAM l) {
                EXPECT_EQ(l, 0);
                commands.push_back(static_cast<int>(w));
            }));
        frame.OnCreate();
        frame.OnPaint();
    }
    const CSkin& skin() const { return frame.m_skin; }
    std::uint32_t Pixel(int x, int y) const {
        return skin().Surface()[static_cast<std::size_t>(y) * 520 + x];
    }
    POINT Centre(int id) const {
        RECT b = skin().Controls().Find(id)->m_rgn.Bounds();
        return {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    }
    void Move(POINT p, bool down = false) { frame.OnMouseMove(down ? MK_LBUTTON : 0, p.x, p.y); }
    void Press(POINT p) { frame.OnLButtonDown(MK_LBUTTON, p.x, p.y); }
    void Release(POINT p) { frame.OnLButtonUp(0, p.x, p.y); }
};

} // namespace

TEST_F(SurfaceTest, StripButtonsDrawTheirCells) {
    // Repeat mode 3 of a four-row strip: row 3; hover column 1, pressed column 2.
    frame.m_skin.SetButtonState(ID_REPEAT, 3);
    const CSkinButton& repeat = *skin().Controls().FindButton(ID_REPEAT);
    const RECT b = repeat.m_rcBox;
    const int w = b.right - b.left, h = b.bottom - b.top;
    const CSkinBitmap& strip = *skin().Strip("REPEATSTS");
    auto showsCell = [&](int column) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (Pixel(b.left + x, b.top + y) != strip.At(column * w + x, 3 * h + y))
                    return false;
        return true;
    };
    EXPECT_TRUE(showsCell(0));
    Move(Centre(ID_REPEAT));
    EXPECT_TRUE(showsCell(1));
    Press(Centre(ID_REPEAT));
    EXPECT_TRUE(showsCell(2));
    Move({b.left - 30, b.top - 30}, true);
    EXPECT_TRUE(showsCell(0));
}

TEST_F(SurfaceTest, SliderFlagsDecideWhenItsCommandIsPosted) {
    // Volume (0x11): on its thumb, one at the press and one per movement.
    frame.m_skin.SetSliderFraction(ID_VOLUME, 0.0);
    const CSkinSlider& volume = *skin().Controls().FindSlider(ID_VOLUME);
    const POINT thumb = {
        (volume.m_rgnLastThumb.Bounds().left + volume.m_rgnLastThumb.Bounds().right) / 2,
        (volume.m_rcBox.top + volume.m_rcBox.bottom) / 2};
    EXPECT_CALL(host, SetCapture()).Times(3); // one per slider press below
    EXPECT_CALL(host, ReleaseCapture()).Times(3);
    Press(thumb);
    Move({thumb.x + 10, thumb.y}, true);
    Move({thumb.x + 20, thumb.y}, true);
    Release({thumb.x + 20, thumb.y});
    EXPECT_EQ(commands, (std::vector<int>{ID_VOLUME, ID_VOLUME, ID_VOLUME}));
    EXPECT_GT(frame.m_skin.GetSliderFraction(ID_VOLUME), 0.3);

    // On the track away from the thumb: one jump, then the drag is ignored.
    commands.clear();
    frame.m_skin.SetSliderFraction(ID_VOLUME, 0.0);
    frame.OnPaint();
    const POINT track = {volume.m_rcBox.right - 4, thumb.y};
    Press(track);
    const double jumped = frame.m_skin.GetSliderFraction(ID_VOLUME);
    Move({volume.m_rcBox.left, thumb.y}, true);
    Release({volume.m_rcBox.left, thumb.y});
    EXPECT_EQ(commands, std::vector<int>{ID_VOLUME});
    EXPECT_GT(jumped, 0.8);
    EXPECT_DOUBLE_EQ(frame.m_skin.GetSliderFraction(ID_VOLUME), jumped);

    // Seeking bar (0x110): at the press and at the release, none while dragging.
    commands.clear();
    const CSkinSlider& seek = *skin().Controls().FindSlider(ID_SEEKING_BAR);
    const RECT t = seek.m_rgnLastThumb.Bounds();
    const POINT grip = {(t.left + t.right) / 2, (t.top + t.bottom) / 2};
    Press(grip);
    EXPECT_TRUE(frame.m_skin.IsSliderPressed(ID_SEEKING_BAR));
    Move({grip.x + 50, grip.y}, true);
    Release({grip.x + 50, grip.y});
    EXPECT_EQ(commands, (std::vector<int>{ID_SEEKING_BAR, ID_SEEKING_BAR}));
    EXPECT_FALSE(frame.m_skin.IsSliderPressed(ID_SEEKING_BAR));
}

TEST_F(SurfaceTest, ATickDrawsTheDigitsAndLeavesAHeldSeekingBarAlone) {
    frame.m_nPlayState = 2;
    frame.m_dLength = 1000;
    ON_CALL(playback, PlayerPosition(_)).WillByDefault(Return(125.9));
    frame.OnTimer(1);
    // 02:05: cells are seconds units, seconds tens, minutes units, minutes tens.
    const CSkinBitmap& digits = *skin().Strip("PLAYNO");
    auto cellShows = [&](int cell, int digit) {
        const RECT r = frame.m_rcTimeDigits[static_cast<std::size_t>(cell)];
        const int w = r.right - r.left;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (Pixel(x, y) != digits.At(digit * w + x - r.left, y - r.top))
                    return false;
        return true;
    };
    EXPECT_TRUE(cellShows(0, 5) && cellShows(1, 0) && cellShows(2, 2) && cellShows(3, 0));
    EXPECT_NEAR(frame.m_skin.GetSliderFraction(ID_SEEKING_BAR), 0.1259, 0.01);

    // Past 99 minutes the display stays at 99:59.
    ON_CALL(playback, PlayerPosition(_)).WillByDefault(Return(125 * 60.0));
    frame.OnTimer(1);
    EXPECT_TRUE(cellShows(0, 9) && cellShows(1, 5) && cellShows(2, 9) && cellShows(3, 9));

    frame.m_skin.Controls().FindSlider(ID_SEEKING_BAR)->m_bPressed = true;
    frame.m_skin.SetSliderFraction(ID_SEEKING_BAR, 0.9);
    frame.OnTimer(1);
    EXPECT_NEAR(frame.m_skin.GetSliderFraction(ID_SEEKING_BAR), 0.9, 0.01);
}

TEST_F(SurfaceTest, EveryControlHasATooltipOverItsBoxNamedFromTheStringTable) {
    std::vector<ToolInfo> tools;
    EXPECT_CALL(host, SetTools(_)).WillOnce(Invoke([&](const std::vector<ToolInfo>& t) {
        tools = t;
    }));
    frame.CreateTooltips();
    ASSERT_EQ(tools.size(), 45u);
    auto find = [&](int id) {
        return *std::find_if(tools.begin(), tools.end(), [&](auto& t) { return t.id == id; });
    };
    EXPECT_EQ(find(ID_MUTE).text, "Mute");
    EXPECT_EQ(find(1090).text, "400 Hz");
    EXPECT_EQ(find(ID_PLAY_PAUSE).text, "Play / Pause");
    EXPECT_EQ(find(ID_SEEKING_BAR).rect, skin().Controls().Find(ID_SEEKING_BAR)->m_rgn.Bounds());
}
