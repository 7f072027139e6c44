#include "skin/skin_controls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "skin/mask_regions.h"
#include "test_mask.h"

namespace mixora {
namespace {

using test::TestMask;

constexpr std::uint32_t kBody = 0x00FF00;
constexpr std::uint32_t kPlay = 0xFA0064;
constexpr std::uint32_t kStop = 0xC80064;
constexpr std::uint32_t kTrack = 0x000064;
constexpr std::uint32_t kThumb = 0xC8C864;

TEST(SkinControls, ControlsTakeTheirRegionsFromTheMaskAndTheFirstHitWins) {
    TestMask m(60, 40, kBody);
    m.Fill({2, 12, 6, 16}, kPlay);
    m.Fill({20, 20, 24, 22}, kPlay); // a second patch of the same button
    m.Fill({30, 12, 34, 16}, kStop);
    m.Fill({10, 5, 40, 8}, kTrack); // volume: wide, so horizontal
    m.Fill({12, 4, 16, 9}, kThumb);
    m.Fill({50, 2, 53, 38}, 0xB10064); // playlist scrollbar: tall
    m.Fill({50, 30, 53, 34}, 0xB16464);
    const MaskIndex index = MaskIndex::Build(m.Dib());
    CControlList list;
    CreateSkinControls(list, &index, kSliderHorizontal);
    list.AddButton(2000, kStop, kButtonPlain, "", &index); // same pixels, later in the list

    EXPECT_EQ(list.FindButton(1001)->m_rcBox, (RECT{2, 12, 24, 22}));
    EXPECT_EQ(list.FindButton(1003)->m_rcBox, (RECT{})); // key not in the mask
    const CSkinSlider* volume = list.FindSlider(1008);
    EXPECT_EQ(volume->m_rcBox, (RECT{10, 4, 40, 9}));
    EXPECT_EQ(volume->m_rcThumb, (RECT{12, 4, 16, 9}));
    EXPECT_EQ(volume->m_nLength, 31);
    EXPECT_EQ(list.FindSlider(1098)->m_nOrientation, kSliderHorizontal); // forced, although tall
    EXPECT_EQ(list.FindSlider(1098)->m_nLength, 4);
    // The thumb is part of its slider; between two patches, and the body
    // colour, belong to no control.
    for (auto [x, y, id] : {std::tuple{3, 13, 1001},
                            {23, 21, 1001},
                            {31, 13, 1002},
                            {13, 4, 1008},
                            {24, 21, 0},
                            {5, 5, 0}}) {
        int hit = 0;
        EXPECT_EQ(list.HitTest(x, y, hit), id != 0) << x << "," << y;
        EXPECT_EQ(hit, id) << x << "," << y;
    }
}

TEST(SkinControls, FractionMapsOntoTheThumbsTravel) {
    TestMask m(20, 60, kBody);
    m.Fill({5, 2, 9, 50}, kTrack);    // 48 pixels long
    m.Fill({4, 44, 10, 50}, kThumb);  // a 6-pixel thumb at the bottom: 42 to travel
    m.Fill({12, 3, 16, 7}, 0xB16432); // a thumb without a track
    const MaskIndex index = MaskIndex::Build(m.Dib());
    CControlList list;
    const CSkinSlider& s = list.AddSlider(1008, kTrack, kThumb, 0x0011, kSliderFromShape, &index);
    ASSERT_EQ(s.Range(), 42);
    for (auto [f, pos] : {std::pair{1.0, 42}, {0.5, 21}, {0.999, 41} /* truncated */, {0.0, 0}}) {
        list.SetSliderFraction(1008, f);
        EXPECT_EQ(s.m_nPos, pos) << f;
        EXPECT_DOUBLE_EQ(list.GetSliderFraction(1008), pos / 42.0) << f;
    }
    // A thumb that fills its slider, or no slider at all, has nowhere to go.
    list.AddSlider(1099, 0xB10032, 0xB16432, 0x0110, kSliderFromShape, &index);
    list.SetSliderFraction(1099, 0.7);
    EXPECT_EQ(list.FindSlider(1099)->m_nPos, 0);
    EXPECT_EQ(list.GetSliderFraction(1099), 0.0);
    EXPECT_EQ(list.GetSliderFraction(4242), 0.0);
}

TEST(SkinControls, MeasuresTextDigitAndLampPlaces) {
    TestMask m(80, 60, kBody);
    m.Fill({10, 20, 40, 46}, 0xC7C7C7); // two 13-pixel lines
    m.Fill({10, 20, 34, 33}, 0xC7C700);
    m.Fill({34, 20, 41, 33}, 0xC7C7FF); // the length column sticks out by one
    for (auto [x, y] : {std::pair{50, 1}, {70, 4}, {60, 9}})
        m.Set(x, y, 0x177BDF); // media area marked by three pixels
    m.Fill({2, 50, 30, 56}, 0x373737);
    for (std::uint32_t i = 0; i < 4; ++i) { // units of seconds first
        m.Fill({45 + 3 * int(i), 20, 47 + 3 * int(i), 23}, 0x9B00C8 - 0x32 * i);
        m.Fill({45 + 3 * int(i), 30, 47 + 3 * int(i), 32}, 0x3700C8 - 0x32 * i);
    }
    for (int level = -4; level <= 4; ++level)
        m.Set(60 + level, 40, 0xE9E950 + 0x14 * level);
    const MaskIndex index = MaskIndex::Build(m.Dib());

    const DisplayAreas a = MeasureDisplayAreas(&index);
    EXPECT_EQ(a.m_rcMedia, (RECT{50, 1, 71, 10}));
    EXPECT_EQ(a.m_rcTitle, (RECT{2, 50, 30, 56}));
    EXPECT_EQ(a.m_rcPlaylist, (RECT{10, 20, 41, 46}));
    EXPECT_EQ(a.m_rcPlaylistLine, (RECT{10, 20, 34, 33}));
    EXPECT_EQ(a.m_rcTimeColumn, (RECT{34, 20, 41, 33}));
    EXPECT_EQ(a.m_nVisibleLines, 2);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(a.m_rcTimeDigits[i], (RECT{45 + 3 * i, 20, 47 + 3 * i, 23}));
        EXPECT_EQ(a.m_rcRecDigits[i], (RECT{45 + 3 * i, 30, 47 + 3 * i, 32}));
    }
    for (int i = 0; i < 9; ++i) // key level 4 first, down to -4
        EXPECT_EQ(a.m_rcKeyLamps[i], (RECT{64 - i, 40, 65 - i, 41})) << i;
    EXPECT_EQ(MeasureDisplayAreas(nullptr).m_nVisibleLines, 0);
}

} // namespace
} // namespace mixora
