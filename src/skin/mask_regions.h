#pragma once
// From a mask bitmap, where every interactive part of the window is painted
// in a colour of its own, to the region of one colour (a "key", 0xRRGGBB).
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "skin/region.h"

namespace mixora {

class CDib;

// What a mask region holds: the pixels of the key, or everything else.
inline constexpr int kMaskKeyPixels = 2;
inline constexpr int kMaskAllButKey = 1; // the window shape uses this one

// Mode kMaskKeyPixels: exactly the pixels of `key`. Any other mode: the
// rectangle (0, 0, w, h) without them. False, and `out` empty, when the mask
// is empty or one of its pixels cannot be read.
bool RegionFromMask(const CDib& mask, std::uint32_t key, int mode, Region& out);

// The runs of every key of a mask, found in one pass, so that the ninety-odd
// regions of a skin load cost one scan instead of ninety. RegionOf gives the
// same pixels as RegionFromMask for every key and mode.
class MaskIndex {
public:
    MaskIndex() = default;

    // An index of an empty or unreadable mask is invalid and gives empty
    // regions, as RegionFromMask would.
    static MaskIndex Build(const CDib& mask);

    bool IsValid() const { return valid_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    Region RegionOf(std::uint32_t key, int mode) const;

private:
    struct Run {
        int y;
        int x0;
        int x1; // exclusive
    };

    bool valid_ = false;
    int width_ = 0;
    int height_ = 0;
    std::unordered_map<std::uint32_t, std::vector<Run>> runs_;
};

} // namespace mixora
