// The skin as the main window uses it: the base skin's layout, hiding and
// showing panels through the window outline, the skin menu and switching
// between skins with the window's state kept.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/main_frame.h"
#include "device/program_records.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "pe_image_builder.h"
#include "skin/program_resources.h"

using namespace mixora;
using ::testing::_;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

struct SkinFrameTest : ::testing::Test, FrameHarness {
    TempDir programDir;
    CMainFrame frame{Services()};
    Region outline;
    std::vector<MenuItem> menu;
    POINT menuAt;

    SkinFrameTest() {
        system.module = programDir.File("mixora");
        ON_CALL(host, SetWindowRgn(_, _))
            .WillByDefault(Invoke(
                [this](std::span<const RECT> rects, bool) { outline = Region::FromRects(rects); }));
        ON_CALL(host, ClientToScreen(_)).WillByDefault(Invoke([](POINT p) {
            return POINT{p.x + 300, p.y + 200};
        }));
        ON_CALL(host, TrackPopupMenu(_, _))
            .WillByDefault(Invoke([this](const std::vector<MenuItem>& items, POINT at) {
                menu = items;
                menuAt = at;
            }));
        frame.OnCreate();
        frame.m_skin.FitWindowToSkin(&frame.Host());
        frame.ApplyPanelShape();
    }

    Region Shape() const {
        Region shape;
        frame.m_skin.RegionFromMask(shape, kTransparentKey, kMaskAllButKey);
        return shape;
    }

    // A package carrying the base skin's pictures with its own description:
    // a normal (not reversed) scrollbar and no panel mask.
    void WritePackage(const std::string& file, bool withBase = true) {
        std::vector<mixora::testing::ResItem> bitmaps;
        for (const char* name :
             {"SKINBASE", "SKINFOCUS", "SKINDOWN", "SKINMASK", "PLAYSTS", "EQONSTS", "MUTESTS",
              "REPEATSTS", "VOICECSTS", "PLAYNO", "RECORDNO"}) {
            if (!withBase && std::string(name) == "SKINBASE")
                continue;
            auto dib = resources.FindBitmap(name);
            ASSERT_TRUE(dib.has_value()) << name;
            bitmaps.push_back({mixora::testing::ResKey::Named(name), {{dib->begin(), dib->end()}}});
        }
        std::string info = "[FontColor]\r\nNameColor=0x000000FF\r\n[ScrollType]\r\nPLScrollType="
                           "2\r\nPLScrollReverse=0\r\n";
        auto image = mixora::testing::BuildPeImage(
            {mixora::testing::ResType{mixora::testing::ResKey::Id(2), bitmaps},
             mixora::testing::ResType{
                 mixora::testing::ResKey::Named("SKININFO"),
                 {{mixora::testing::ResKey::Id(134), {mixora::testing::Bytes(info)}}}}},
            false);
        programDir.Write(file, std::string(image.bytes.begin(), image.bytes.end()));
    }
};

RECT Box(int l, int t, int r, int b) {
    return RECT{l, t, r, b};
}

} // namespace

TEST_F(SkinFrameTest, TheBaseSkinHasItsLayout) {
    EXPECT_EQ(frame.m_skin.Size(), (CSize{520, 419}));
    EXPECT_EQ(frame.m_rcPlaylist, Box(176, 280, 348, 358));
    EXPECT_EQ(frame.m_rcPlaylistLine.bottom - frame.m_rcPlaylistLine.top, 13);
    EXPECT_EQ(frame.m_nVisibleLines, 6);
    EXPECT_EQ(frame.m_rcTitle, Box(234, 114, 373, 130));
    EXPECT_EQ(frame.m_rcMedia, Box(138, 0, 387, 90));
    const CControlList& controls = frame.m_skin.Controls();
    EXPECT_EQ(controls.Size(), 45u);
    for (const auto& c : controls) {
        EXPECT_FALSE(c->m_rgn.IsEmpty()) << c->m_nID;
        EXPECT_TRUE(Shape().Intersect(c->m_rgn) == c->m_rgn)
            << c->m_nID << " reaches outside the window";
    }
    EXPECT_EQ(controls.FindButton(ID_PLAY_PAUSE)->m_rcBox, Box(270, 179, 292, 192));
    EXPECT_EQ(controls.FindSlider(ID_SEEKING_BAR)->m_rcBox, Box(155, 90, 368, 103));
    EXPECT_EQ(controls.FindSlider(ID_VOLUME)->m_rcBox, Box(153, 152, 202, 163));
    EXPECT_EQ(controls.FindSlider(1092)->m_nOrientation, kSliderVertical);
    EXPECT_EQ(frame.m_bPLScrollReverse, 1);
    // The panels are the two wings and the lower block.
    EXPECT_EQ(frame.m_rgnRecorder.Bounds(), Box(0, 91, 138, 193));
    EXPECT_EQ(frame.m_rgnEqualizer.Bounds(), Box(382, 89, 520, 195));
    EXPECT_EQ(frame.m_rgnPlaylist.Bounds(), Box(128, 241, 396, 419));
    EXPECT_TRUE(outline == Shape());
}

TEST_F(SkinFrameTest, HidingPanelsCutsThemOutAndShowingRestoresExactlyTheirPixels) {
    // As a skin whose panel key also covers transparent corner pixels.
    const Region full = outline;
    const Region corner = Region::FromRect(RECT{0, 0, 6, 6});
    ASSERT_TRUE(full.Intersect(corner).IsEmpty());
    frame.m_rgnRecorder = frame.m_rgnRecorder.Union(corner);
    frame.OnCommand(ID_TOGGLE_RECORDER, 0);
    frame.OnCommand(ID_TOGGLE_PLAYLIST, 0);
    EXPECT_TRUE(outline == full.Subtract(frame.m_rgnRecorder).Subtract(frame.m_rgnPlaylist));
    EXPECT_EQ(frame.m_bShowPlaylist, 0);
    EXPECT_EQ(frame.m_skin.GetButtonState(ID_TOGGLE_PLAYLIST), 1);
    frame.OnCommand(ID_TOGGLE_RECORDER, 0);
    frame.OnCommand(ID_TOGGLE_PLAYLIST, 0);
    EXPECT_TRUE(outline == full);
}

TEST_F(SkinFrameTest, TheSkinMenuOffersEveryPackageAndChecksTheOneInUse) {
    WritePackage("Alt.dll");
    programDir.Write("notes.txt", "not a skin");
    programDir.Write("Empty.dll", ""); // cannot be opened: not offered
    frame.OnCommand(1065, 0);
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[0].id, ID_BASE_SKIN);
    EXPECT_EQ(menu[0].text, "Base Skin");
    EXPECT_TRUE(menu[0].radioChecked);
    EXPECT_EQ(menu[1].id, 0u); // separator
    EXPECT_EQ(menu[2].id, ID_FIRST_SKIN_PACKAGE);
    EXPECT_EQ(menu[2].text, "Alt");
    EXPECT_FALSE(menu[2].radioChecked);
    const RECT box = frame.m_skin.Controls().Find(1065)->m_rgn.Bounds();
    EXPECT_EQ(menuAt, (POINT{(box.left + box.right) / 2 + 300, (box.top + box.bottom) / 2 + 200}));

    frame.m_strSkinFile = programDir.File("Alt.dll");
    frame.OnCommand(1065, 0);
    EXPECT_FALSE(menu[0].radioChecked);
    EXPECT_TRUE(menu[2].radioChecked);
}

TEST_F(SkinFrameTest, SwitchingSkinsKeepsSliderPositionsPanelsAndTheScrolledLine) {
    WritePackage("Alt.dll");
    frame.m_skin.SetSliderFraction(ID_VOLUME, 0.25);
    frame.m_skin.SetSliderFraction(ID_SEEKING_BAR, 0.5);
    // Reversed in the base skin: a thumb at 0.75 means a list scrolled to 0.25.
    frame.m_skin.SetSliderFraction(ID_PLAYLIST_SCROLLBAR, 0.75);
    const double volume = frame.m_skin.GetSliderFraction(ID_VOLUME);
    const double seek = frame.m_skin.GetSliderFraction(ID_SEEKING_BAR);
    const double scroll = frame.m_skin.GetSliderFraction(ID_PLAYLIST_SCROLLBAR);
    frame.OnCommand(ID_TOGGLE_RECORDER, 0);
    frame.m_nRepeatMode = 3;

    EXPECT_CALL(host, SetClientSize(520, 419)).Times(2); // there and back
    frame.OnCommand(ID_FIRST_SKIN_PACKAGE, 0);
    EXPECT_EQ(frame.m_strSkinFile, programDir.File("Alt.dll"));
    EXPECT_EQ(frame.m_bSkinChanged, 1);
    EXPECT_EQ(frame.m_crName, 0xFFu);
    EXPECT_EQ(frame.m_bPLScrollReverse, 0);
    EXPECT_NEAR(frame.m_skin.GetSliderFraction(ID_VOLUME), volume, 0.03);
    EXPECT_NEAR(frame.m_skin.GetSliderFraction(ID_SEEKING_BAR), seek, 0.01);
    EXPECT_NEAR(frame.m_skin.GetSliderFraction(ID_PLAYLIST_SCROLLBAR), 1.0 - scroll, 0.03);
    EXPECT_EQ(frame.m_skin.GetButtonState(ID_TOGGLE_RECORDER), 1);
    EXPECT_EQ(frame.m_skin.GetButtonState(ID_REPEAT), 3);
    // No panel mask in this package: hiding a panel changes only its button.
    EXPECT_TRUE(frame.m_rgnRecorder.IsEmpty());
    EXPECT_TRUE(outline == Shape());

    frame.OnCommand(ID_BASE_SKIN, 0);
    EXPECT_EQ(frame.m_strSkinFile, "");
    EXPECT_EQ(frame.m_bPLScrollReverse, 1);
    EXPECT_NEAR(frame.m_skin.GetSliderFraction(ID_PLAYLIST_SCROLLBAR), scroll, 0.05);
    EXPECT_NEAR(frame.m_skin.GetSliderFraction(ID_VOLUME), volume, 0.05);
    EXPECT_FALSE(outline.Contains(10, 120)); // the recorder is still hidden
}
