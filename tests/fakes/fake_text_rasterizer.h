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
    void DrawText(SurfaceView surface, const RECT& clip, int x, int y, const std::string& utf8, int fontHeight,
                  std::uint32_t color, bool opaque, std::uint32_t background) override {
        drawn.push_back({clip, x, y, utf8, fontHeight, color, opaque, background, surface.pixels.data(),
                         surface.width, surface.height});
    }
};

} // namespace mixora
