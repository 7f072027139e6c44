#include <gtest/gtest.h>

#include <functional>

#include "platform/message_box.h"
#include "skin/dib.h"
#include "unit/pe_image_builder.h"

namespace mixora {
namespace {

using testing::Put32;
using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kUntouched = 0xDEADBEEF;

struct Messages : IMessageBox {
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override {
        const bool errorBox = type == (MB_OK | MB_ICONERROR);
        shown.push_back(caption + ": " + text + (errorBox ? "" : " (no error box)"));
        return IDOK;
    }
    std::vector<std::string> shown;
};

// What the user interface does with a refusal: the classic message box.
bool ReadShowing(CDib& dib, std::span<const std::uint8_t> stream, Messages& messages) {
    DibError error;
    if (dib.ReadBmp(stream, &error))
        return true;
    ShowDibError(messages, error);
    return false;
}

bool WriteShowing(const CDib& dib, std::vector<std::uint8_t>& out, Messages& messages) {
    DibError error;
    if (dib.WriteBmp(out, &error))
        return true;
    ShowDibError(messages, error);
    return false;
}

// A picture as stored: info header fields, bitfield masks (at offset 40,
// inside a longer header or right after the short one), colour table
// (0xRRGGBB) and the pixel rows, bottom row first.
struct Pic {
    std::int32_t width = 1, height = 1;
    std::uint16_t bpp = 24;
    std::uint32_t compression = 0, sizeImage = 0, clrUsed = 0, infoSize = 40;
    std::vector<std::uint32_t> masks = {}, table = {};
    Bytes pixels = {};
};

Bytes Packed(const Pic& p) {
    Bytes b;
    for (std::uint32_t v :
         {p.infoSize, std::uint32_t(p.width), std::uint32_t(p.height), 1u | p.bpp << 16,
          p.compression, p.sizeImage, 2835u, 2835u, p.clrUsed, 0u}) {
        Put32(b, b.size(), v);
    }
    for (std::uint32_t m : p.masks)
        Put32(b, b.size(), m);
    b.resize(std::max<std::size_t>(b.size(), p.infoSize));
    for (std::uint32_t c : p.table)
        Put32(b, b.size(), c);
    b.insert(b.end(), p.pixels.begin(), p.pixels.end());
    return b;
}

Bytes FileImage(const Pic& p) {
    const Bytes packed = Packed(p);
    Bytes b = {'B', 'M'};
    Put32(b, 2, static_cast<std::uint32_t>(14 + packed.size()));
    Put32(b, 10, static_cast<std::uint32_t>(14 + packed.size() - p.pixels.size()));
    b.insert(b.end(), packed.begin(), packed.end());
    return b;
}

// 24 bits (0xRRGGBB stored blue, green, red) or 8-bit indices, y counted
// from the top, rows padded to whole words and stored bottom row first.
Pic Make(int width, int height, int bytesPerPixel, std::function<std::uint32_t(int, int)> value) {
    Pic p{.width = width, .height = height, .bpp = static_cast<std::uint16_t>(8 * bytesPerPixel)};
    const int rowBytes = (width * bytesPerPixel + 3) / 4 * 4;
    p.pixels.resize(static_cast<std::size_t>(rowBytes * height));
    for (int y = 0; y < height; ++y) {
        for (int i = 0; i < width * bytesPerPixel; ++i) {
            p.pixels[(height - 1 - y) * rowBytes + i] =
                static_cast<std::uint8_t>(value(i / bytesPerPixel, y) >> 8 * (i % bytesPerPixel));
        }
    }
    return p;
}

// 8 bits with 256 colours, stated by the table alone (no colour count).
Pic Make8(int width, int height) {
    Pic p = Make(width, height, 1, [](int x, int y) { return (x * 3 + y * 11) % 256; });
    for (std::uint32_t i = 0; i < 256; ++i)
        p.table.push_back(i << 16 | (255 - i) << 8 | i % 7);
    return p;
}

// 5-6-5 through BI_BITFIELDS masks after the 40-byte header.
const Pic kMasked16{.width = 3,
                    .height = 2,
                    .bpp = 16,
                    .compression = 3,
                    .masks = {0xF800, 0x07E0, 0x001F},
                    .pixels = Bytes(16, 0x5A)};

TEST(DibRead, RefusalsShowTheirMessageAndLeaveTheContainerEmpty) {
    const char* kRead = "Read error 1";
    const char* kInvalid = "Invalid bitmap file";
    const std::tuple<const char*, std::function<void(Bytes&)>, const char*> cases[] = {
        {"13 bytes", [](Bytes& b) { b.resize(13); }, "read error 1"},
        {"no BM", [](Bytes& b) { b[1] = 'A'; }, kInvalid},
        {"cut in the pixels", [](Bytes& b) { b.pop_back(); }, kRead},
        {"30000 x 30000", [](Bytes& b) { Put32(b, 18, 30000), Put32(b, 22, 30000); }, kRead},
        {"offset inside the file header", [](Bytes& b) { Put32(b, 10, 20); }, kInvalid},
        {"info header shorter than 40", [](Bytes& b) { Put32(b, 14, 12); }, kInvalid},
        {"info header past the offset", [](Bytes& b) { Put32(b, 14, 2000); }, kInvalid},
        {"top-down", [](Bytes& b) { Put32(b, 22, static_cast<std::uint32_t>(-3)); }, kInvalid},
        {"7 bits per pixel", [](Bytes& b) { b[28] = 7; }, kInvalid},
        {"rle8 without a size", [](Bytes& b) { Put32(b, 30, 1); }, kInvalid},
        {"bitfields on 8 bits", [](Bytes& b) { Put32(b, 30, 3), Put32(b, 46, 2); }, kInvalid},
        {"stated size below the rows", [](Bytes& b) { Put32(b, 34, 8); }, kInvalid},
        {"more colours than the table", [](Bytes& b) { Put32(b, 46, 257); }, kInvalid},
        {"colour count overflowing", [](Bytes& b) { Put32(b, 46, 0x40000001); }, kInvalid},
        {"row beyond 32 bits", [](Bytes& b) { Put32(b, 18, 0x7FFFFFFF), b[28] = 32; }, kInvalid},
        {"image beyond 32 bits", [](Bytes& b) { Put32(b, 18, 1 << 16), Put32(b, 22, 1 << 16); },
         kInvalid},
    };
    const Bytes good = FileImage(Make8(5, 3));
    for (const auto& [what, damage, message] : cases) {
        Bytes stream = good;
        damage(stream);
        Messages messages;
        CDib dib;
        ASSERT_TRUE(ReadShowing(dib, good, messages));
        EXPECT_FALSE(ReadShowing(dib, stream, messages)) << what;
        EXPECT_EQ(messages.shown, std::vector{"Mixora: " + std::string(message)}) << what;
        EXPECT_TRUE(dib.IsEmpty()) << what;
        EXPECT_EQ(dib.GetSize(), CSize{}) << what;
        EXPECT_FALSE(dib.ReadBmp(stream, nullptr)); // without a message box, silently
    }
    Messages messages;
    Bytes out;
    EXPECT_FALSE(WriteShowing(CDib(), out, messages));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Mixora: write error"});
}

// One row per depth and layout, given as stored, read from a file and
// attached in memory. 8 bits and less have a palette of 2^bits colours
// unless a count says fewer; more bits have none.
TEST(DibPixel, EveryDepthGivesTheColourItShows) {
    const std::uint32_t no = kUntouched;
    const std::uint32_t w = 0xFFFFFF;
    const std::vector<std::uint32_t> rgbx = {0x0000FF, 0x00FF00, 0xFF0000}; // bytes R, G, B
    const std::tuple<const char*, Pic, Bytes, std::vector<std::uint32_t>> cases[] = {
        {"1 bit, across a byte",
         {.bpp = 1, .table = {0, w}},
         {0x81, 0x80},
         {w, 0, 0, 0, 0, 0, 0, w, w}},
        {"4 bits", {.bpp = 4, .clrUsed = 3, .table = {1, 2, 3}}, {0x20, 0x13}, {3, 1, 2, no}},
        {"8 bits", {.bpp = 8, .clrUsed = 2, .table = {1, 2}}, {1, 9}, {2, no}},
        {"8 bits, no count", {.bpp = 8, .table = Make8(1, 1).table}, {200}, {0xC83704}},
        {"16 bits, 5-5-5",
         {.bpp = 16},
         {0xFF, 0x7F, 0x00, 0x7C, 0x01, 0x41},
         {w, 0xFF0000, 0x844208}}, // 16/31, 8/31, 1/31 of 255, rounded
        {"16 bits, 5-6-5",
         kMasked16,
         {0xFF, 0xFF, 0xE0, 0x07, 0x00, 0xFC},
         {w, 0x00FF00, 0xFF8200}}, // 32/63 of 255 rounds up
        {"24 bits", {.bpp = 24}, {0x56, 0x34, 0x12, 0xEF, 0xCD, 0xAB}, {0x123456, 0xABCDEF}},
        {"32 bits, fourth byte unused", {.bpp = 32}, {0x56, 0x34, 0x12, 0xAA}, {0x123456}},
        {"32 bits, masks in a 124-byte header",
         {.bpp = 32, .compression = 3, .infoSize = 124, .masks = rgbx},
         {0x11, 0x22, 0x33, 0xFF, 0xAA, 0xBB, 0xCC, 0},
         {0x112233, 0xAABBCC}},
        {"run-length: kept, but no pixels",
         {.bpp = 8, .compression = 1, .sizeImage = 4, .clrUsed = 1, .table = {0}},
         {4, 7, 0, 1},
         {no, no, no, no}},
    };
    for (const auto& [what, pic, row, expected] : cases) {
        Pic p = pic;
        p.width = static_cast<int>(expected.size());
        p.height = 1;
        p.pixels = row;
        p.pixels.resize((row.size() + 3) / 4 * 4);
        const Bytes packed = Packed(p);
        CDib read, attached;
        ASSERT_TRUE(read.ReadBmp(FileImage(p), nullptr)) << what;
        ASSERT_TRUE(attached.AttachPacked(packed)) << what;
        std::vector<std::uint32_t> palette;
        for (const PaletteEntry& e : read.Palette())
            palette.push_back(std::uint32_t(e.red << 16 | e.green << 8 | e.blue));
        EXPECT_EQ(palette, p.table) << what;
        EXPECT_EQ(read.BuildPalette(), !p.table.empty()) << what;
        for (int x = 0; x < p.width; ++x) {
            for (const CDib* dib : {&read, &attached}) {
                std::uint32_t rgb = no;
                EXPECT_EQ(dib->GetPixelRgb(x, 0, &rgb), expected[x] != no) << what << " " << x;
                EXPECT_EQ(rgb, expected[x]) << what << " " << x;
            }
        }
    }
}

} // namespace
} // namespace mixora
