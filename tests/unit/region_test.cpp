#include "skin/region.h"

#include <gtest/gtest.h>

namespace mixora {
namespace {

int PixelCount(const Region& r) {
    int n = 0;
    for (const RECT& rc : r.Rects())
        n += (rc.right - rc.left) * (rc.bottom - rc.top);
    return n;
}

TEST(RegionBasics, RectangleHasExclusiveRightAndBottom) {
    const Region r = Region::FromRect({2, 3, 5, 7});
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(4, 6));
    EXPECT_FALSE(r.Contains(5, 3));
    EXPECT_FALSE(r.Contains(2, 7));
    EXPECT_FALSE(r.Contains(1, 3));
    EXPECT_EQ(r.Bounds(), (RECT{2, 3, 5, 7}));
    EXPECT_EQ(PixelCount(r), 12);
    EXPECT_FALSE(r.IsEmpty());
}

TEST(RegionBasics, EmptyRegionsHaveZeroBoundsAndNoRects) {
    for (const Region& r :
         {Region(), Region::FromRect({5, 5, 5, 9}), Region::FromRect({5, 5, 2, 2}),
          Region::FromRect({1, 1, 4, 4}).Subtract(Region::FromRect({0, 0, 9, 9}))}) {
        EXPECT_TRUE(r.IsEmpty());
        EXPECT_EQ(r.Bounds(), (RECT{}));
        EXPECT_TRUE(r.Rects().empty());
        EXPECT_EQ(r, Region());
    }
}

TEST(RegionAlgebra, UnionSubtractIntersectOfOverlappingSquares) {
    const Region a = Region::FromRect({0, 0, 4, 4});
    const Region b = Region::FromRect({2, 2, 6, 6});

    const Region u = a.Union(b);
    EXPECT_EQ(PixelCount(u), 16 + 16 - 4);
    EXPECT_EQ(u.Bounds(), (RECT{0, 0, 6, 6}));
    EXPECT_EQ(u.Rects(), (std::vector<RECT>{{0, 0, 4, 2}, {0, 2, 6, 4}, {2, 4, 6, 6}}));

    const Region d = a.Subtract(b);
    EXPECT_EQ(PixelCount(d), 12);
    EXPECT_TRUE(d.Contains(1, 3));
    EXPECT_FALSE(d.Contains(3, 3));

    const Region i = a.Intersect(b);
    EXPECT_EQ(i, Region::FromRect({2, 2, 4, 4}));
}

TEST(RegionAlgebra, XorIsUnionWithoutTheOverlapAndUndoesItself) {
    const Region a = Region::FromRect({0, 0, 4, 4}).Union(Region::FromRect({8, 0, 10, 10}));
    const Region b = Region::FromRect({2, 2, 9, 6});

    const Region x = a.Xor(b);
    EXPECT_EQ(x, a.Union(b).Subtract(a.Intersect(b)));
    EXPECT_FALSE(x.Contains(3, 3)); // in both
    EXPECT_TRUE(x.Contains(1, 1));  // only in a
    EXPECT_TRUE(x.Contains(5, 3));  // only in b
    EXPECT_EQ(x.Xor(b), a);
    EXPECT_EQ(x.Xor(a), b);
    EXPECT_TRUE(a.Xor(a).IsEmpty());
}

TEST(RegionAlgebra, EqualityComparesPixelsNotConstruction) {
    const Region halves = Region::FromRect({0, 0, 3, 5}).Union(Region::FromRect({3, 0, 7, 5}));
    EXPECT_EQ(halves, Region::FromRect({0, 0, 7, 5}));
    EXPECT_FALSE(halves == Region::FromRect({0, 0, 7, 4}));
    const std::vector<RECT> rows{{0, 0, 7, 1}, {0, 1, 7, 2}, {0, 2, 7, 3},
                                 {0, 3, 7, 4}, {0, 4, 7, 5}, {2, 2, 2, 9}};
    EXPECT_EQ(Region::FromRects(rows), halves);
}

TEST(RegionValue, OffsetCopyAndMove) {
    Region a = Region::FromRect({0, 0, 2, 2});
    Region copy = a;
    a.Offset(10, -5);
    EXPECT_EQ(a.Bounds(), (RECT{10, -5, 12, -3}));
    EXPECT_TRUE(a.Contains(11, -4));
    EXPECT_EQ(copy.Bounds(), (RECT{0, 0, 2, 2})); // the copy is its own

    Region moved = std::move(a);
    EXPECT_EQ(moved.Bounds(), (RECT{10, -5, 12, -3}));
    copy = std::move(moved);
    EXPECT_EQ(copy.Bounds(), (RECT{10, -5, 12, -3}));
    const Region& same = copy;
    copy = same; // self-assignment keeps the pixels
    EXPECT_EQ(copy.Bounds(), (RECT{10, -5, 12, -3}));
}

} // namespace
} // namespace mixora
