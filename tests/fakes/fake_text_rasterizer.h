#pragma once
// Records every text drawn, so a test can check what went where.
#include <string>
#include <vector>

#include "platform/text_rasterizer.h"

namespace mixora {

struct DrawnText {
    RECT clip;
    int x = 0;
    int y = 0;
    std::string text;
    int fontHeight = 0;
    std::uint32_t color = 0;
    bool opaque = false;
    std::uint32_t background = 0;
    // The picture it went into.
    const std::uint32_t* pixels = nullptr;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
};

class FakeTextRasterizer : public ITextRasterizer {
public:
    std::vector<DrawnText> drawn;
    // With ink, a text also leaves marks in the picture: an opaque clip is
    // filled with the background, and each byte of the text paints one
    // pixel of the colour along row y from x, inside the clip (colours as
    // 0xFFRRGGBB).
    bool ink = false;

    void DrawText(SurfaceView surface, const RECT& clip, int x, int y, const std::string& utf8,
                  int fontHeight, std::uint32_t color, bool opaque,
                  std::uint32_t background) override {
        drawn.push_back({clip, x, y, utf8, fontHeight, color, opaque, background,
                         surface.pixels.data(), surface.width, surface.height});
        if (!ink) {
            return;
        }
        auto put = [&](int px, int py, std::uint32_t bgr) {
            if (px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom &&
                px >= 0 && px < surface.width && py >= 0 && py < surface.height) {
                surface.pixels[static_cast<std::size_t>(py) * surface.width + px] =
                    0xFF000000u | (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
            }
        };
        if (opaque) {
            for (int py = clip.top; py < clip.bottom; ++py)
                for (int px = clip.left; px < clip.right; ++px)
                    put(px, py, background);
        }
        for (std::size_t i = 0; i < utf8.size(); ++i)
            put(x + static_cast<int>(i), y, color);
    }
};

} // namespace mixora
