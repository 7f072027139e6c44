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
    int width = 120;
    int height = 60;
    std::vector<std::uint32_t> pixels =
        std::vector<std::uint32_t>(static_cast<std::size_t>(120 * 60), kGrey);

    SurfaceView View() { return SurfaceView{pixels, width, height}; }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Pixels that are no longer the background grey, inside and outside `rc`.
    int ChangedInside(const RECT& rc) const { return Count(rc, true); }
    int ChangedOutside(const RECT& rc) const { return Count(rc, false); }

private:
    int Count(const RECT& rc, bool inside) const {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                bool in = x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
                n += in == inside && At(x, y) != kGrey;
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
    Picture picture;
    // A cell narrower than the text: the rest is cut off.
    const RECT cell{10, 20, 50, 33};
    text.DrawText(picture.View(), cell, cell.left, cell.top, "Wide Text Wide Text", 13, 0x000000FF,
                  false, 0);
    EXPECT_GT(picture.ChangedInside(cell), 20);
    EXPECT_EQ(picture.ChangedOutside(cell), 0);

    // Red (0x00BBGGRR) shows as red, and the picture stays opaque.
    int strongest = 0;
    std::uint32_t reddest = kGrey;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) {
            std::uint32_t p = picture.At(x, y);
            EXPECT_EQ(p >> 24, 0xFFu);
            if (Red(p) > strongest) {
                strongest = Red(p);
                reddest = p;
            }
        }
    EXPECT_GT(Red(reddest), 200);
    EXPECT_LT(Green(reddest), 0x50);
    EXPECT_LT(Blue(reddest), 0x50);
}

TEST(QtTextRasterizer, BlueAndGreenKeepTheirPlaces) {
    QtTextRasterizer text;
    Picture picture;
    const RECT cell{0, 0, 120, 16};
    text.DrawText(picture.View(), cell, 0, 0, "MMMM", 16, 0x00FF0000, false, 0); // blue
    int blueish = 0;
    for (std::uint32_t p : picture.pixels)
        blueish += Blue(p) > 200 && Red(p) < 0x50;
    EXPECT_GT(blueish, 10);
}

TEST(QtTextRasterizer, OpaqueFillsTheWholeClipWithTheBackground) {
    QtTextRasterizer text;
    Picture picture;
    const RECT cell{30, 10, 90, 23};
    const std::uint32_t background = 0x0096FF32; // 0x00BBGGRR: red 0x32, green 0xFF, blue 0x96
    text.DrawText(picture.View(), cell, cell.left, cell.top, "", 13, 0x000000FF, true, background);
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x)
            ASSERT_EQ(picture.At(x, y), 0xFF32FF96u) << x << "," << y;
    EXPECT_EQ(picture.ChangedOutside(cell), 0);

    // With text: the cell keeps the fill except where the glyphs are.
    text.DrawText(picture.View(), cell, cell.left, cell.top, "Selected", 13, 0x00000000, true,
                  background);
    int fill = 0;
    int ink = 0;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) {
            std::uint32_t p = picture.At(x, y);
            fill += p == 0xFF32FF96u;
            ink += Green(p) < 0x40;
        }
    EXPECT_GT(fill, 60 * 13 / 2);
    EXPECT_GT(ink, 10);
    EXPECT_EQ(picture.ChangedOutside(cell), 0);
}

TEST(QtTextRasterizer, DescendersFitTheLineHeight) {
    QtTextRasterizer text;
    Picture picture;
    // The same text once cut to a 13-pixel line and once with room below:
    // nothing of it reaches past the line.
    const RECT roomy{0, 0, 120, 40};
    text.DrawText(picture.View(), roomy, 0, 0, "gjpqy", 13, 0x00FFFFFF, false, 0);
    EXPECT_EQ(picture.ChangedInside(RECT{0, 13, 120, 40}), 0);
    EXPECT_GT(picture.ChangedInside(RECT{0, 8, 120, 13}), 0) << "descenders drawn";
}

TEST(QtTextRasterizer, CjkTextDrawsThroughTheFallbackFont) {
    QtTextRasterizer text;
    Picture picture;
    const RECT cell{0, 0, 120, 16};
    text.DrawText(picture.View(), cell, 0, 0, "音楽の曲", 16, 0x00FFFFFF, false, 0);
    EXPECT_GT(picture.ChangedInside(cell), 40);
    EXPECT_EQ(picture.ChangedOutside(cell), 0);
}

TEST(QtTextRasterizer, ClipsOffThePictureAndEmptyPicturesAreLeftAlone) {
    QtTextRasterizer text;
    Picture picture;
    const RECT hanging{100, 50, 200, 80}; // partly outside the picture
    text.DrawText(picture.View(), hanging, 100, 50, "WWWWWW", 13, 0x00FFFFFF, true, 0x00000000);
    EXPECT_GT(picture.ChangedInside(hanging), 0);
    EXPECT_EQ(picture.ChangedOutside(hanging), 0);

    std::vector<std::uint32_t> none;
    text.DrawText(SurfaceView{none, 0, 0}, RECT{0, 0, 10, 10}, 0, 0, "x", 13, 0, true, 0);
    std::vector<std::uint32_t> tooSmall(10, kGrey);
    text.DrawText(SurfaceView{tooSmall, 10, 10}, RECT{0, 0, 10, 10}, 0, 0, "x", 13, 0, true, 0);
    for (std::uint32_t p : tooSmall)
        EXPECT_EQ(p, kGrey);
}

} // namespace
