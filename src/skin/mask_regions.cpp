#include "skin/mask_regions.h"

#include "skin/dib.h"

namespace mixora {

bool RegionFromMask(const CDib& mask, std::uint32_t key, int mode, Region& out) {
    out = Region();
    const CSize size = mask.GetSize();
    if (mask.IsEmpty() || size.cx <= 0 || size.cy <= 0)
        return false;

    // Cut every run of the key out of the whole rectangle, one row-high
    // rectangle per run.
    const Region whole = Region::FromRect({0, 0, size.cx, size.cy});
    Region rest = whole;
    for (int y = 0; y < size.cy; ++y) {
        int x = 0;
        while (x < size.cx) {
            std::uint32_t rgb = 0;
            if (!mask.GetPixelRgb(x, y, &rgb))
                return false;
            if (rgb != key) {
                ++x;
                continue;
            }
            int end = x + 1;
            while (end < size.cx) {
                if (!mask.GetPixelRgb(end, y, &rgb))
                    return false;
                if (rgb != key)
                    break;
                ++end;
            }
            rest = rest.Subtract(Region::FromRect({x, y, end, y + 1}));
            x = end;
        }
    }
    out = mode == kMaskKeyPixels ? whole.Subtract(rest) : std::move(rest);
    return true;
}

MaskIndex MaskIndex::Build(const CDib& mask) {
    MaskIndex index;
    const CSize size = mask.GetSize();
    if (mask.IsEmpty() || size.cx <= 0 || size.cy <= 0)
        return index;

    for (int y = 0; y < size.cy; ++y) {
        std::uint32_t runKey = 0;
        int runStart = 0;
        for (int x = 0; x < size.cx; ++x) {
            std::uint32_t rgb = 0;
            if (!mask.GetPixelRgb(x, y, &rgb))
                return MaskIndex();
            if (x == 0) {
                runKey = rgb;
            } else if (rgb != runKey) {
                index.runs_[runKey].push_back({y, runStart, x});
                runKey = rgb;
                runStart = x;
            }
        }
        index.runs_[runKey].push_back({y, runStart, size.cx});
    }
    index.valid_ = true;
    index.width_ = size.cx;
    index.height_ = size.cy;
    return index;
}

Region MaskIndex::RegionOf(std::uint32_t key, int mode) const {
    if (!valid_)
        return Region();
    Region pixels;
    if (auto it = runs_.find(key); it != runs_.end()) {
        std::vector<RECT> rects;
        rects.reserve(it->second.size());
        for (const Run& run : it->second)
            rects.push_back({run.x0, run.y, run.x1, run.y + 1});
        pixels = Region::FromRects(rects);
    }
    if (mode == kMaskKeyPixels)
        return pixels;
    return Region::FromRect({0, 0, width_, height_}).Subtract(pixels);
}

} // namespace mixora
