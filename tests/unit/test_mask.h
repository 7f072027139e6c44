#pragma once
// A mask bitmap painted in memory for tests: a grid of 0xRRGGBB keys packed
// as a 24-bit device-independent bitmap and attached to a CDib.
#include <cstdint>
#include <vector>

#include "platform/messages.h"
#include "skin/dib.h"

namespace mixora::test {

class TestMask {
public:
    TestMask(int width, int height, std::uint32_t background = 0x000000)
        : width_(width), height_(height),
          keys_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background) {}

    void Set(int x, int y, std::uint32_t key) {
        keys_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
              static_cast<std::size_t>(x)] = key;
    }
    void Fill(const RECT& rc, std::uint32_t key) {
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                Set(x, y, key);
    }
    std::uint32_t At(int x, int y) const {
        return keys_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                     static_cast<std::size_t>(x)];
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Packs the current picture and attaches it; valid until the next call.
    const CDib& Dib() {
        const int rowBytes = (width_ * 3 + 3) & ~3;
        bytes_.assign(40 + static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height_),
                      0);
        auto put32 = [this](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        put32(0, 40);
        put32(4, static_cast<std::uint32_t>(width_));
        put32(8, static_cast<std::uint32_t>(height_)); // bottom row first
        bytes_[12] = 1;                                // planes
        bytes_[14] = 24;                               // bits per pixel
        put32(20, static_cast<std::uint32_t>(rowBytes * height_));
        for (int y = 0; y < height_; ++y) {
            std::size_t row =
                40 + static_cast<std::size_t>(height_ - 1 - y) * static_cast<std::size_t>(rowBytes);
            for (int x = 0; x < width_; ++x) {
                const std::uint32_t key = At(x, y);
                bytes_[row++] = static_cast<std::uint8_t>(key);       // blue
                bytes_[row++] = static_cast<std::uint8_t>(key >> 8);  // green
                bytes_[row++] = static_cast<std::uint8_t>(key >> 16); // red
            }
        }
        dib_.AttachPacked(bytes_);
        return dib_;
    }

private:
    int width_;
    int height_;
    std::vector<std::uint32_t> keys_;
    std::vector<std::uint8_t> bytes_;
    CDib dib_;
};

} // namespace mixora::test
