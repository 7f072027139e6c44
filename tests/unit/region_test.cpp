#include "skin/region.h"

#include <gtest/gtest.h>

namespace mixora {
namespace {

TEST(Region, RectanglesExcludeRightAndBottomAndNeedArea) {
    const Region r = Region::FromRect({2, 3, 5, 7});
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(4, 6));
    EXPECT_FALSE(r.Contains(5, 3));
    EXPECT_FALSE(r.Contains(2, 7));
    EXPECT_EQ(r.Bounds(), (RECT{2, 3, 5, 7}));
    for (const Region& empty :
         {Region(), Region::FromRect({5, 5, 5, 9}), Region::FromRect({5, 5, 2, 2}),
          Region::FromRects(std::vector<RECT>{{1, 1, 1, 4}})}) {
        EXPECT_TRUE(empty.IsEmpty());
        EXPECT_EQ(empty.Bounds(), (RECT{}));
        EXPECT_TRUE(empty.Rects().empty());
    }
}

TEST(Region, AlgebraComparesPixelsNotConstruction) {
    const Region a = Region::FromRect({0, 0, 4, 4});
    const Region b = Region::FromRect({2, 2, 6, 6});
    EXPECT_EQ(a.Union(b).Rects(), (std::vector<RECT>{{0, 0, 4, 2}, {0, 2, 6, 4}, {2, 4, 6, 6}}));
    EXPECT_EQ(a.Subtract(b), Region::FromRects(std::vector<RECT>{{0, 0, 4, 2}, {0, 2, 2, 4}}));
    EXPECT_EQ(a.Intersect(b), Region::FromRect({2, 2, 4, 4}));
    EXPECT_EQ(a.Subtract(a.Union(b)), Region()); // empty however it was made
    EXPECT_FALSE(a == b);
    // Exclusive or: in exactly one of the two, and undoing itself.
    const Region c = a.Union(Region::FromRect({8, 0, 10, 10}));
    const Region x = c.Xor(b);
    EXPECT_FALSE(x.Contains(3, 3));
    EXPECT_TRUE(x.Contains(1, 1));
    EXPECT_TRUE(x.Contains(5, 3));
    EXPECT_EQ(x.Xor(b), c);
    EXPECT_TRUE(c.Xor(c).IsEmpty());
}

} // namespace
} // namespace mixora
