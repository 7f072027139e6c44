#pragma once
// Records every text drawn, so a test can check what went where.
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
};

class FakeTextRasterizer : public ITextRasterizer {
public:
    std::vector<DrawnText> drawn;
    void DrawText(SurfaceView, const RECT& clip, int x, int y, const std::string& utf8, int fontHeight,
                  std::uint32_t color, bool opaque, std::uint32_t background) override {
        drawn.push_back({clip, x, y, utf8, fontHeight, color, opaque, background});
    }
};

} // namespace mixora
