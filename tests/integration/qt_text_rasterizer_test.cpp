// Text drawn by Qt into a picture laid out like the window's: where the
// pixels land, in which colour, and how an opaque cell is filled.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/qt/qt_text_rasterizer.h"

using namespace mixora;

namespace {

constexpr std::uint32_t kGrey = 0xFF404040;

struct Picture {
    static constexpr int width = 120, height = 60;
    std::vector<std::uint32_t> pixels =
        std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), kGrey);

    SurfaceView View() { return SurfaceView{pixels, width, height}; }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Pixels inside (or outside) `rc` that pass `test`; by default those no
    // longer the background grey.
    template <class Test = bool (*)(std::uint32_t)>
    int Count(
        const RECT& rc, bool inside = true,
        Test test = [](std::uint32_t p) { return p != kGrey; }) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool in = x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
                n += in == inside && test(At(x, y));
            }
        return n;
    }
};

int Red(std::uint32_t p) {
    return (p >> 16) & 0xFF;
}
int Green(std::uint32_t p) {
    return (p >> 8) & 0xFF;
}
int Blue(std::uint32_t p) {
    return p & 0xFF;
}

TEST(QtTextRasterizer, TextStaysInsideItsClipInTheGivenColour) {
    QtTextRasterizer text;
    // Colours come as 0x00BBGGRR and land as opaque 0xFFRRGGBB: red stays
    // red and blue stays blue. A cell narrower than the text cuts the rest.
    for (auto [color, isColour] :
         {std::pair<std::uint32_t, bool (*)(std::uint32_t)>{
              0x000000FF,
              [](std::uint32_t p) { return Red(p) > 200 && Green(p) < 0x50 && Blue(p) < 0x50; }},
          {0x00FF0000, [](std::uint32_t p) { return Blue(p) > 200 && Red(p) < 0x50; }}}) {
        Picture picture;
        const RECT cell{10, 20, 50, 33};
        text.DrawText(picture.View(), cell, cell.left, cell.top, "Wide Text Wide Text", 13, color,
                      false, 0);
        EXPECT_GT(picture.Count(cell), 20);
        EXPECT_EQ(picture.Count(cell, false), 0);
        EXPECT_GT(picture.Count(cell, true, isColour), 5) << std::hex << color;
        EXPECT_EQ(picture.Count(cell, true, [](std::uint32_t p) { return p >> 24 != 0xFF; }), 0);
    }
}

TEST(QtTextRasterizer, ClipsOffThePictureAndEmptyPicturesAreLeftAlone) {
    QtTextRasterizer text;
    Picture picture;
    const RECT hanging{100, 50, 200, 80}; // partly outside the picture
    text.DrawText(picture.View(), hanging, 100, 50, "WWWWWW", 13, 0x00FFFFFF, true, 0x00000000);
    EXPECT_GT(picture.Count(hanging), 0);
    EXPECT_EQ(picture.Count(hanging, false), 0);

    std::vector<std::uint32_t> none;
    text.DrawText(SurfaceView{none, 0, 0}, RECT{0, 0, 10, 10}, 0, 0, "x", 13, 0, true, 0);
    std::vector<std::uint32_t> tooSmall(10, kGrey);
    text.DrawText(SurfaceView{tooSmall, 10, 10}, RECT{0, 0, 10, 10}, 0, 0, "x", 13, 0, true, 0);
    EXPECT_EQ(tooSmall, std::vector<std::uint32_t>(10, kGrey));
}

} // namespace
