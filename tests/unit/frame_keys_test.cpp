// The keyboard and the wheel reach the same commands as the controls they
// stand for, and a wheel notch leaves a slider where a drag would.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/control_ids.h"
#include "app/main_frame.h"
#include "fakes/frame_harness.h"

using namespace mixora;
using ::testing::_;
using ::testing::Invoke;

namespace {

struct FrameKeysTest : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};
    std::vector<WPARAM> commands;

    FrameKeysTest() {
        ON_CALL(host, PostMessage(_, _, _)).WillByDefault(Invoke([this](UINT m, WPARAM w, LPARAM) {
            if (m == WM_COMMAND)
                commands.push_back(w);
        }));
        frame.OnCreate();
        frame.m_skin.FitWindowToSkin(&frame.Host());
        commands.clear();
    }
    std::vector<WPARAM> Key(WPARAM key, bool control = false) {
        commands.clear();
        frame.WindowProc(WM_KEYDOWN, key, control ? kKeyControl : 0);
        return commands;
    }
    POINT Centre(int id) const {
        const RECT b = frame.m_skin.Controls().Find(id)->m_rgn.Bounds();
        return {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    }
    void Wheel(int delta, POINT at) {
        frame.WindowProc(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<std::uint16_t>(delta)),
                         static_cast<LPARAM>(at.x | (at.y << 16)));
    }
    int Pos(int id) const { return frame.m_skin.Controls().FindSlider(id)->m_nPos; }
};

using Ids = std::vector<WPARAM>;

} // namespace

TEST_F(FrameKeysTest, EveryShortcutPostsItsControlsCommand) {
    struct Case {
        WPARAM key;
        bool control;
        int playState;
        Ids posted;
    };
    const Case cases[] = {
        {'Z', false, 1, {1004}}, {'X', false, 0, {1001}},      {'X', false, 2, {1001}},
        {'X', false, 1, {}},     {'C', false, 1, {1001}},      {'C', false, 2, {1001}},
        {'C', false, 0, {}},     {VK_SPACE, false, 1, {1001}}, {'V', false, 1, {1002}},
        {'B', false, 1, {1003}}, {VK_LEFT, false, 1, {1064}},  {VK_RIGHT, false, 1, {1062}},
        {'M', false, 0, {1007}}, {'R', false, 0, {1006}},      {'O', true, 0, {1005}},
        {'L', true, 0, {1079}},  {'S', true, 0, {1080}},       {VK_DELETE, false, 0, {1077}},
        {'Q', true, 0, {1082}},  {VK_ESCAPE, false, 1, {}},    {'Q', false, 1, {}},
        {'O', false, 0, {}},     {'Z', true, 0, {}},
    };
    for (const Case& c : cases) {
        frame.m_nPlayState = c.playState;
        EXPECT_EQ(Key(c.key, c.control), c.posted)
            << "key " << c.key << (c.control ? " with Ctrl" : "") << " state " << c.playState;
    }
}

TEST_F(FrameKeysTest, ArrowsAndWheelStepSlidersByATwentiethAsADragWould) {
    CSkinSlider& volume = *frame.m_skin.Controls().FindSlider(ID_VOLUME);
    const int range = volume.Range();
    // A drag of the thumb by its middle a twentieth of the track right.
    frame.m_skin.SetSliderFraction(ID_VOLUME, 0.5);
    const RECT thumb = volume.m_rgnLastThumb.Bounds();
    const int step = static_cast<int>(std::lround(range / 20.0));
    const POINT grip = {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    frame.OnLButtonDown(1, grip.x, grip.y);
    const int start = Pos(ID_VOLUME);
    frame.OnMouseMove(1, grip.x + step, grip.y);
    frame.OnLButtonUp(0, grip.x + step, grip.y);
    const int dragged = Pos(ID_VOLUME);
    ASSERT_EQ(dragged - start, step);

    volume.m_nPos = start;
    EXPECT_EQ(Key(VK_UP), Ids{ID_VOLUME});
    EXPECT_EQ(Pos(ID_VOLUME), dragged);
    EXPECT_EQ(Key(VK_DOWN), Ids{ID_VOLUME});
    EXPECT_EQ(Pos(ID_VOLUME), start);

    // Half notches add up; a turn the other way starts afresh.
    commands.clear();
    Wheel(60, Centre(ID_VOLUME));
    EXPECT_EQ(Pos(ID_VOLUME), start);
    Wheel(60, Centre(ID_VOLUME));
    EXPECT_EQ(Pos(ID_VOLUME), dragged);
    Wheel(-240, Centre(ID_VOLUME));
    EXPECT_EQ(Pos(ID_VOLUME), start - step);
    EXPECT_EQ(commands, (Ids{ID_VOLUME, ID_VOLUME}));

    // A vertical band goes up toward position 0; the seeking bar posts its
    // own command; over the playlist lines the wheel scrolls the list.
    for (int id : {1090, ID_SEEKING_BAR}) {
        frame.m_skin.SetSliderFraction(id, 0.5);
        const int before = Pos(id);
        commands.clear();
        Wheel(120, Centre(id));
        EXPECT_EQ(commands, Ids{static_cast<WPARAM>(id)});
        EXPECT_NE(Pos(id), before);
        EXPECT_EQ(Pos(id) < before, id == 1090) << id;
    }
    frame.m_skin.SetSliderFraction(ID_PLAYLIST_SCROLLBAR, 0.5);
    commands.clear();
    const RECT& list = frame.m_rcPlaylist;
    Wheel(-120, {list.left + 2, list.top + 2});
    EXPECT_EQ(commands, Ids{ID_PLAYLIST_SCROLLBAR});
    // Over the body nothing moves.
    commands.clear();
    Wheel(120, {0, 0});
    EXPECT_TRUE(commands.empty());
}

TEST_F(FrameKeysTest, ScreenReadersGetEveryControlsKindAndStateAndThePlaylistLines) {
    frame.m_skin.SetButtonState(ID_MUTE, 1);
    frame.m_skin.SetSliderFraction(ID_VOLUME, 0.5);
    const auto controls = frame.AccessibleControls();
    EXPECT_EQ(controls.size(),
              static_cast<std::size_t>(
                  std::distance(frame.m_skin.Controls().begin(), frame.m_skin.Controls().end())));
    auto find = [&](int id) {
        return *std::find_if(controls.begin(), controls.end(),
                             [id](const AccessibleControl& c) { return c.id == id; });
    };
    EXPECT_TRUE(find(ID_MUTE).twoState && find(ID_MUTE).on && !find(ID_MUTE).slider);
    EXPECT_FALSE(find(ID_REPEAT).twoState);
    EXPECT_FALSE(find(ID_STOP).twoState || find(ID_STOP).slider);
    EXPECT_TRUE(find(ID_VOLUME).slider);
    EXPECT_NEAR(find(ID_VOLUME).value, 0.5, 0.05);

    frame.m_playlist = {{"/m/a.ogg", 3.0}, {"/m/b.ogg", 65.0}};
    frame.m_nSelected = 1;
    const AccessiblePlaylist list = frame.AccessibleList();
    EXPECT_EQ(list.lines, (std::vector<std::string>{"a.ogg, 00:03", "b.ogg, 01:05"}));
    EXPECT_EQ(list.marked, 1);
    EXPECT_EQ(list.playing, -1); // stopped
}
