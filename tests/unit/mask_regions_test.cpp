#include "skin/mask_regions.h"

#include <gtest/gtest.h>

#include <random>

#include "skin/dib.h"
#include "test_mask.h"

namespace mixora {
namespace {

using test::TestMask;

// `r` holds exactly the mask pixels whose key is (or, `keyPixels` false, is
// not) `key`, and nothing outside the mask.
void ExpectPixels(const Region& r, const TestMask& m, std::uint32_t key, bool keyPixels) {
    for (int y = -1; y <= m.Height(); ++y)
        for (int x = -1; x <= m.Width(); ++x) {
            const bool onMask = x >= 0 && y >= 0 && x < m.Width() && y < m.Height();
            EXPECT_EQ(r.Contains(x, y), onMask && (m.At(x, y) == key) == keyPixels)
                << std::hex << key << std::dec << " pixel " << x << "," << y;
        }
}

TEST(MaskRegions, EmptyOrUnreadableMaskFailsWithAnEmptyRegion) {
    // 4 x 2 at 8 bits with a two-colour table; every pixel indexes colour 5.
    std::vector<std::uint8_t> bytes(40 + 8 + 8, 5);
    std::fill_n(bytes.begin(), 40, 0);
    bytes[0] = 40, bytes[4] = 4, bytes[8] = 2, bytes[12] = 1, bytes[14] = 8, bytes[32] = 2;
    CDib unreadable, empty;
    ASSERT_TRUE(unreadable.AttachPacked(bytes));
    for (const CDib* dib : {&empty, &unreadable}) {
        Region r = Region::FromRect({0, 0, 3, 3});
        EXPECT_FALSE(RegionFromMask(*dib, 0, kMaskAllButKey, r));
        EXPECT_TRUE(r.IsEmpty());
        const MaskIndex index = MaskIndex::Build(*dib);
        EXPECT_FALSE(index.IsValid());
        EXPECT_TRUE(index.RegionOf(0, kMaskAllButKey).IsEmpty());
    }
}

// Mode kMaskKeyPixels gives exactly the key's pixels, every other mode the
// rest of the mask; the index and a scan per key agree on all of them.
TEST(MaskRegions, ScanAndIndexGiveTheKeysPixelsOrTheRest) {
    // Runs of random length in a handful of keys, some a single pixel.
    std::vector<std::uint32_t> keys = {0x000000, 0x00FF00, 0xFA0064, 0xC8C864, 0x177BDF};
    TestMask m(41, 23);
    std::mt19937 rng(12345);
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width();) {
            const std::uint32_t key = keys[rng() % keys.size()];
            for (int len = 1 + static_cast<int>(rng() % 7); len > 0 && x < m.Width(); --len, ++x)
                m.Set(x, y, key);
        }
    const CDib& dib = m.Dib();
    const MaskIndex index = MaskIndex::Build(dib);
    ASSERT_TRUE(index.IsValid());
    EXPECT_EQ(index.Width(), 41);
    EXPECT_EQ(index.Height(), 23);
    keys.push_back(0x654321); // and one that is not there
    for (std::uint32_t key : keys)
        for (int mode : {kMaskKeyPixels, kMaskAllButKey, 0, 3}) {
            Region scanned;
            ASSERT_TRUE(RegionFromMask(dib, key, mode, scanned));
            ExpectPixels(scanned, m, key, mode == kMaskKeyPixels);
            EXPECT_EQ(index.RegionOf(key, mode), scanned) << std::hex << key << " mode " << mode;
        }
}

} // namespace
} // namespace mixora
