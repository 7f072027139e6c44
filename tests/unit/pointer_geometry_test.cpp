// Where a press lands on the base skin: a control is its painted shape, not
// the box around it, and a slider's thumb sits centred under the pointer and
// never leaves its track.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "fakes/frame_harness.h"

using namespace mixora;
using ::testing::_;
using ::testing::Invoke;

namespace {

constexpr std::uint32_t MK_LBUTTON = 1;

struct PointerGeometryTest : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};
    std::vector<int> commands;

    PointerGeometryTest() {
        ON_CALL(host, PostMessage(WM_COMMAND, _, _))
            .WillByDefault(Invoke(
                [this](UINT, WPARAM w, LPARAM) { commands.push_back(static_cast<int>(w)); }));
        frame.OnCreate();
        frame.OnPaint();
    }
    void Click(int x, int y) {
        frame.OnLButtonDown(MK_LBUTTON, x, y);
        frame.OnLButtonUp(0, x, y);
    }
    const CSkinSlider& Volume() const { return *frame.m_skin.Controls().FindSlider(ID_VOLUME); }
    RECT Thumb() const { return Volume().m_rgnLastThumb.Bounds(); }
};

} // namespace

TEST_F(PointerGeometryTest, APressInsideAControlsBoxButOffItsShapeReachesNoControl) {
    // Every point of the window that lies in some control's box but in no
    // control's shape: a rounded button's corners, the gaps of a ring.
    int tried = 0;
    for (const auto& control : frame.m_skin.Controls()) {
        const RECT b = control->m_rgn.Bounds();
        for (int y = b.top; y < b.bottom; ++y) {
            for (int x = b.left; x < b.right; ++x) {
                int hit = 0;
                if (control->m_rgn.Contains(x, y) || frame.m_skin.HitTest(x, y, hit))
                    continue;
                commands.clear();
                Click(x, y);
                EXPECT_TRUE(commands.empty())
                    << "control " << control->m_nID << " at " << x << "," << y;
                ++tried;
            }
        }
    }
    EXPECT_GT(tried, 0) << "the base skin has no control whose shape leaves its box";
}

TEST_F(PointerGeometryTest, TheThumbFollowsThePointerCentredAndStopsAtTheTrackEnds) {
    const RECT box = Volume().m_rcBox;
    const int y = (box.top + box.bottom) / 2;
    const int width = Thumb().right - Thumb().left;
    ASSERT_GE(width, 4);

    // Pressed on the track, the thumb jumps so that its middle is under the
    // pointer (within the pixel an even width leaves).
    const int x = (box.left + box.right) / 2;
    frame.OnLButtonDown(MK_LBUTTON, x, y);
    frame.OnPaint();
    const int middle2 = Thumb().left + Thumb().right; // twice the middle
    EXPECT_LE(std::abs(middle2 - 2 * x), 2) << Thumb().left << ".." << Thumb().right;
    frame.OnLButtonUp(0, x, y);

    // Dragged far past either end it stops exactly at the end: the whole
    // range, and the thumb still inside the slider's box.
    frame.OnLButtonDown(MK_LBUTTON, (Thumb().left + Thumb().right) / 2, y);
    frame.OnMouseMove(MK_LBUTTON, box.right + 200, y);
    frame.OnPaint();
    EXPECT_DOUBLE_EQ(frame.m_skin.GetSliderFraction(ID_VOLUME), 1.0);
    EXPECT_LE(Thumb().right, box.right);
    frame.OnMouseMove(MK_LBUTTON, box.left - 200, y);
    frame.OnPaint();
    EXPECT_DOUBLE_EQ(frame.m_skin.GetSliderFraction(ID_VOLUME), 0.0);
    EXPECT_GE(Thumb().left, box.left);
    frame.OnLButtonUp(0, box.left - 200, y);
}

TEST_F(PointerGeometryTest, AVerticalThumbCentresOnThePointerToo) {
    const CSkinSlider* band = nullptr;
    for (const auto& control : frame.m_skin.Controls())
        if (control->m_nKind == kControlSlider &&
            static_cast<const CSkinSlider&>(*control).m_nOrientation == kSliderVertical) {
            band = &static_cast<const CSkinSlider&>(*control);
            break;
        }
    ASSERT_NE(band, nullptr);
    const RECT box = band->m_rcBox;
    const int x = (band->m_rcThumb.left + band->m_rcThumb.right) / 2;
    const int y = (box.top + box.bottom) / 2;
    frame.OnLButtonDown(MK_LBUTTON, x, y);
    frame.OnPaint();
    const RECT thumb = band->m_rgnLastThumb.Bounds();
    EXPECT_LE(std::abs(thumb.top + thumb.bottom - 2 * y), 2) << thumb.top << ".." << thumb.bottom;
    frame.OnLButtonUp(0, x, y);
}

TEST_F(PointerGeometryTest, AHighlightGoesWhenThePointerLeavesWithNoButtonDown) {
    const CSkinControl& stop = *frame.m_skin.Controls().Find(ID_STOP);
    const RECT b = stop.m_rgn.Bounds();
    frame.OnMouseMove(0, (b.left + b.right) / 2, (b.top + b.bottom) / 2);
    ASSERT_TRUE(stop.m_bHover);
    frame.OnMouseMove(0, b.left - 40, b.top - 40);
    EXPECT_FALSE(stop.m_bHover);
}

TEST_F(PointerGeometryTest, TheVolumeFromTheBarIsCutTowardsSilenceNeverRounded) {
    // Every thumb place gives the exact -3000..0 value cut to a whole number
    // towards zero: never below the exact value, never a whole step above.
    CSkinSlider& volume = *frame.m_skin.Controls().FindSlider(ID_VOLUME);
    const int range = volume.Range();
    ASSERT_GT(range, 10);
    for (int pos = 0; pos <= range; ++pos) {
        volume.m_nPos = pos;
        frame.OnCommand(ID_VOLUME, 0);
        const double exact = 3000.0 * pos / range - 3000.0;
        EXPECT_GE(frame.m_nVolume, exact) << pos;
        EXPECT_LT(frame.m_nVolume, exact + 1.0) << pos;
    }
}
