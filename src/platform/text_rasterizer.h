#pragma once
// Text drawn into the window's picture. The core decides what goes where;
// the platform shapes and rasterises the glyphs.
#include <cstdint>
#include <span>
#include <string>

#include "platform/messages.h"

namespace mixora {

// A picture the text is drawn into: 0xAARRGGBB pixels, rows top first.
struct SurfaceView {
    std::span<std::uint32_t> pixels;
    int width = 0;
    int height = 0;
};

class ITextRasterizer {
public:
    virtual ~ITextRasterizer() = default;
    // Draws `utf8` with its top-left at (x, y) in a sans-serif font whose
    // pixel height is `fontHeight`, in `color` (0x00BBGGRR), clipped to
    // `clip`. With `opaque` the clip rectangle is first filled with
    // `background` (0x00BBGGRR). Called on the UI thread.
    virtual void DrawText(SurfaceView surface, const RECT& clip, int x, int y,
                          const std::string& utf8, int fontHeight, std::uint32_t color, bool opaque,
                          std::uint32_t background) = 0;
};

} // namespace mixora
