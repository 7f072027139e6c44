#include "skin/mask_regions.h"

#include <gtest/gtest.h>

#include <set>

#include "skin/dib.h"
#include "test_mask.h"

namespace mixora {
namespace {

using test::TestMask;

// Pixel by pixel: `r` holds exactly the pixels for which `inside` says so,
// and nothing outside the mask.
template <typename Pred> void ExpectPixels(const Region& r, const TestMask& m, Pred inside) {
    for (int y = -1; y <= m.Height(); ++y)
        for (int x = -1; x <= m.Width(); ++x) {
            const bool onMask = x >= 0 && y >= 0 && x < m.Width() && y < m.Height();
            EXPECT_EQ(r.Contains(x, y), onMask && inside(x, y)) << "pixel " << x << "," << y;
        }
}

TEST(MaskRegionsFromMask, KeyModeGivesTheKeysPixelsOtherModesTheRest) {
    TestMask m(7, 5, 0x00FF00);
    m.Fill({1, 1, 3, 4}, 0xFA0064);
    m.Fill({5, 0, 7, 2}, 0xFA0064); // a second patch of the same key
    m.Set(6, 4, 0xFA0064);
    const CDib& dib = m.Dib();

    Region keyPixels;
    ASSERT_TRUE(RegionFromMask(dib, 0xFA0064, kMaskKeyPixels, keyPixels));
    ExpectPixels(keyPixels, m, [&](int x, int y) { return m.At(x, y) == 0xFA0064; });

    for (int mode : {kMaskAllButKey, 0, 3}) {
        Region rest;
        ASSERT_TRUE(RegionFromMask(dib, 0xFA0064, mode, rest));
        ExpectPixels(rest, m, [&](int x, int y) { return m.At(x, y) != 0xFA0064; });
    }
}

TEST(MaskRegionsFromMask, AbsentKeyGivesNothingOrTheWholeRectangle) {
    TestMask m(4, 3, 0x123456);
    Region r;
    ASSERT_TRUE(RegionFromMask(m.Dib(), 0xABCDEF, kMaskKeyPixels, r));
    EXPECT_TRUE(r.IsEmpty());
    ASSERT_TRUE(RegionFromMask(m.Dib(), 0xABCDEF, kMaskAllButKey, r));
    EXPECT_EQ(r, Region::FromRect({0, 0, 4, 3}));
    ASSERT_TRUE(RegionFromMask(m.Dib(), 0x123456, kMaskAllButKey, r));
    EXPECT_TRUE(r.IsEmpty());
}

// An 8-bit bitmap with a two-colour table whose pixels point past it.
std::vector<std::uint8_t> UnreadableMask() {
    std::vector<std::uint8_t> b(40 + 8 + 4 * 2, 0);
    b[0] = 40;
    b[4] = 4;  // width
    b[8] = 2;  // height
    b[12] = 1; // planes
    b[14] = 8; // bits per pixel
    b[20] = 8; // image size
    b[32] = 2; // colours used
    for (std::size_t i = 48; i < b.size(); ++i)
        b[i] = 5;
    return b;
}

TEST(MaskRegionsFromMask, EmptyOrUnreadableMaskFailsWithAnEmptyRegion) {
    Region r = Region::FromRect({0, 0, 3, 3});
    CDib empty;
    EXPECT_FALSE(RegionFromMask(empty, 0, kMaskKeyPixels, r));
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_FALSE(MaskIndex::Build(empty).IsValid());

    const auto bytes = UnreadableMask();
    CDib bad;
    ASSERT_TRUE(bad.AttachPacked(bytes));
    r = Region::FromRect({0, 0, 3, 3});
    EXPECT_FALSE(RegionFromMask(bad, 0, kMaskAllButKey, r));
    EXPECT_TRUE(r.IsEmpty());
    const MaskIndex index = MaskIndex::Build(bad);
    EXPECT_FALSE(index.IsValid());
    EXPECT_TRUE(index.RegionOf(0, kMaskAllButKey).IsEmpty());
}

TEST(MaskRegionsIndex, GivesTheSameRegionsAsAScanPerKey) {
    // Runs of random length in a handful of keys, with a few lone pixels.
    const std::uint32_t keys[] = {0x000000, 0x00FF00, 0xFA0064, 0xC8C864, 0x177BDF, 0xE9E950};
    TestMask m(41, 23);
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    std::set<std::uint32_t> used;
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width();) {
            const std::uint32_t key = keys[next() % 6];
            const int len = 1 + static_cast<int>(next() % 7);
            for (int i = 0; i < len && x < m.Width(); ++i, ++x)
                m.Set(x, y, key);
            used.insert(key);
        }
    const CDib& dib = m.Dib();
    const MaskIndex index = MaskIndex::Build(dib);
    ASSERT_TRUE(index.IsValid());
    EXPECT_EQ(index.Width(), 41);
    EXPECT_EQ(index.Height(), 23);

    used.insert(0x654321); // and one key that is not there
    for (std::uint32_t key : used)
        for (int mode : {kMaskKeyPixels, kMaskAllButKey}) {
            Region scanned;
            ASSERT_TRUE(RegionFromMask(dib, key, mode, scanned));
            EXPECT_EQ(index.RegionOf(key, mode), scanned) << std::hex << key << " mode " << mode;
        }
    ExpectPixels(index.RegionOf(0xFA0064, kMaskKeyPixels), m,
                 [&](int x, int y) { return m.At(x, y) == 0xFA0064; });
}

} // namespace
} // namespace mixora
