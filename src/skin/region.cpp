#include "skin/region.h"

namespace mixora {

namespace {

pixman_box32_t ToBox(const RECT& rc) {
    return {rc.left, rc.top, rc.right, rc.bottom};
}

bool HasArea(const RECT& rc) {
    return rc.right > rc.left && rc.bottom > rc.top;
}

} // namespace

Region::Region() {
    pixman_region32_init(&region_);
}

Region::~Region() {
    pixman_region32_fini(&region_);
}

Region::Region(const Region& other) {
    pixman_region32_init(&region_);
    pixman_region32_copy(&region_, &other.region_);
}

Region& Region::operator=(const Region& other) {
    if (this != &other)
        pixman_region32_copy(&region_, &other.region_);
    return *this;
}

// A pixman region holds no pointer into itself (its data is on the heap or a
// shared static sentinel), so it can be moved by copying the struct.
Region::Region(Region&& other) noexcept : region_(other.region_) {
    pixman_region32_init(&other.region_);
}

Region& Region::operator=(Region&& other) noexcept {
    if (this != &other) {
        pixman_region32_fini(&region_);
        region_ = other.region_;
        pixman_region32_init(&other.region_);
    }
    return *this;
}

Region Region::FromRect(const RECT& rc) {
    Region r;
    if (HasArea(rc)) {
        pixman_region32_fini(&r.region_);
        pixman_region32_init_rect(&r.region_, rc.left, rc.top,
                                  static_cast<unsigned>(rc.right - rc.left),
                                  static_cast<unsigned>(rc.bottom - rc.top));
    }
    return r;
}

Region Region::FromRects(std::span<const RECT> rects) {
    std::vector<pixman_box32_t> boxes;
    boxes.reserve(rects.size());
    for (const RECT& rc : rects) {
        if (HasArea(rc))
            boxes.push_back(ToBox(rc));
    }
    Region r;
    if (!boxes.empty()) {
        pixman_region32_fini(&r.region_);
        pixman_region32_init_rects(&r.region_, boxes.data(), static_cast<int>(boxes.size()));
    }
    return r;
}

Region Region::Union(const Region& other) const {
    Region r;
    pixman_region32_union(&r.region_, &region_, &other.region_);
    return r;
}

Region Region::Subtract(const Region& other) const {
    Region r;
    pixman_region32_subtract(&r.region_, &region_, &other.region_);
    return r;
}

Region Region::Xor(const Region& other) const {
    // pixman has no exclusive-or; (a ∪ b) − (a ∩ b) is the same set.
    return Union(other).Subtract(Intersect(other));
}

Region Region::Intersect(const Region& other) const {
    Region r;
    pixman_region32_intersect(&r.region_, &region_, &other.region_);
    return r;
}

void Region::Offset(int dx, int dy) {
    pixman_region32_translate(&region_, dx, dy);
}

bool Region::Contains(int x, int y) const {
    return pixman_region32_contains_point(&region_, x, y, nullptr) != 0;
}

bool Region::IsEmpty() const {
    return pixman_region32_not_empty(&region_) == 0;
}

RECT Region::Bounds() const {
    if (IsEmpty())
        return {};
    const pixman_box32_t* e = pixman_region32_extents(&region_);
    return {e->x1, e->y1, e->x2, e->y2};
}

std::vector<RECT> Region::Rects() const {
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(&region_, &n);
    std::vector<RECT> out;
    out.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        out.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
    return out;
}

bool operator==(const Region& a, const Region& b) {
    if (a.IsEmpty() && b.IsEmpty())
        return true;
    return pixman_region32_equal(&a.region_, &b.region_) != 0;
}

} // namespace mixora
