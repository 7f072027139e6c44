#pragma once
// A set of pixels in window coordinates, kept as pixman's banded rectangles.
// Controls hit-test against it, drawing clips to it and the window outline
// is made from it. A plain value: copies are deep, moves are cheap.
#include <pixman.h>

#include <span>
#include <vector>

#include "platform/messages.h"

namespace mixora {

class Region {
public:
    Region();
    ~Region();
    Region(const Region& other);
    Region& operator=(const Region& other);
    Region(Region&& other) noexcept;
    Region& operator=(Region&& other) noexcept;

    // The pixels of `rc` (right and bottom exclusive); empty when the
    // rectangle has no area.
    static Region FromRect(const RECT& rc);
    // The union of all `rects`, made in one step (rectangles without area
    // are skipped).
    static Region FromRects(std::span<const RECT> rects);

    Region Union(const Region& other) const;
    // The pixels of this region that are not in `other`.
    Region Subtract(const Region& other) const;
    // The pixels in exactly one of the two regions.
    Region Xor(const Region& other) const;
    Region Intersect(const Region& other) const;

    // Moves every pixel by (dx, dy).
    void Offset(int dx, int dy);
    bool Contains(int x, int y) const;
    bool IsEmpty() const;
    // The bounding box; all zeros for an empty region.
    RECT Bounds() const;
    // The banded rectangles, top band first, left to right within a band.
    std::vector<RECT> Rects() const;

    // For clipping with pixman images.
    const pixman_region32_t* Native() const { return &region_; }

    // Same set of pixels.
    friend bool operator==(const Region& a, const Region& b);

private:
    pixman_region32_t region_;
};

} // namespace mixora
