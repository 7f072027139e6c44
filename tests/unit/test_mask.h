#pragma once
// A mask bitmap painted in memory for tests: a grid of 0xRRGGBB keys packed
// as a 24-bit device-independent bitmap (bottom row first) and attached to a CDib.
#include <cstdint>
#include <vector>

#include "platform/messages.h"
#include "skin/dib.h"

namespace mixora::test {

class TestMask {
public:
    TestMask(int width, int height, std::uint32_t background = 0x000000)
        : width_(width), height_(height),
          keys_(static_cast<std::size_t>(width * height), background) {}

    void Set(int x, int y, std::uint32_t key) { keys_[Index(x, y)] = key; }
    void Fill(const RECT& rc, std::uint32_t key) {
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                Set(x, y, key);
    }
    std::uint32_t At(int x, int y) const { return keys_[Index(x, y)]; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Packs the current picture and attaches it; valid until the next call.
    const CDib& Dib() {
        const int rowBytes = (width_ * 3 + 3) & ~3;
        bytes_.assign(40 + static_cast<std::size_t>(rowBytes * height_), 0);
        const std::uint32_t header[] = {40, static_cast<std::uint32_t>(width_),
                                        static_cast<std::uint32_t>(height_), 1 | 24 << 16};
        for (int i = 0; i < 16; ++i)
            bytes_[i] = static_cast<std::uint8_t>(header[i / 4] >> (8 * (i % 4)));
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                for (int c = 0; c < 3; ++c) // blue, green, red
                    bytes_[40 + (height_ - 1 - y) * rowBytes + 3 * x + c] =
                        static_cast<std::uint8_t>(At(x, y) >> (8 * c));
        dib_.AttachPacked(bytes_);
        return dib_;
    }

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y * width_ + x); }
    int width_;
    int height_;
    std::vector<std::uint32_t> keys_;
    std::vector<std::uint8_t> bytes_;
    CDib dib_;
};

} // namespace mixora::test
