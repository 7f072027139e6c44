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

// A picture as stored: info header fields, bitfield masks (at offset 40,
// inside a longer header or right after the short one), colour table
// (0xRRGGBB) and the pixel rows bottom row first.
struct Pic {
    std::int32_t width = 1, height = 1;
    std::uint16_t bpp = 24;
    std::uint32_t compression = 0, sizeImage = 0, clrUsed = 0, infoSize = 40;
    std::vector<std::uint32_t> masks = {}, table = {};
    Bytes pixels = {};
};

// Stores `value(x, y)` (y from the top) bottom row first: palette indices
// most significant bits first, wider values little-endian (so 0xRRGGBB is
// stored blue, green, red).
Bytes StoreRows(int width, int height, int bpp, std::function<std::uint32_t(int, int)> value) {
    const int rowBytes = (width * bpp + 31) / 32 * 4;
    Bytes out(static_cast<std::size_t>(rowBytes * height), 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + (height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            if (bpp < 8) {
                const int perByte = 8 / bpp;
                row[x / perByte] |= value(x, y) << (8 - bpp * (x % perByte + 1));
            }
            for (int i = 0; i < bpp / 8; ++i) {
                row[x * bpp / 8 + i] = static_cast<std::uint8_t>(value(x, y) >> (8 * i));
            }
        }
    }
    return out;
}

Bytes Packed(const Pic& p) {
    Bytes b;
    for (std::uint32_t v : {p.infoSize, std::uint32_t(p.width), std::uint32_t(p.height),
                            1u | p.bpp << 16, p.compression, p.sizeImage, 2835u, 2835u, p.clrUsed,
                            0u}) {
        Put32(b, b.size(), v);
    }
    for (std::uint32_t m : p.masks) {
        Put32(b, b.size(), m);
    }
    b.resize(std::max<std::size_t>(b.size(), p.infoSize));
    for (std::uint32_t c : p.table) {
        Put32(b, b.size(), c);
    }
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

std::uint32_t Gradient(int x, int y) {
    return static_cast<std::uint32_t>((x * 7 % 256) << 16 | (y * 5 % 256) << 8 | (x + y) % 256);
}

Pic Make24(int width, int height) {
    return {.width = width, .height = height, .pixels = StoreRows(width, height, 24, Gradient)};
}

// 8 bits with 256 colours, stated by the table alone (no colour count).
Pic Make8(int width, int height) {
    Pic p{.width = width, .height = height, .bpp = 8};
    for (std::uint32_t i = 0; i < 256; ++i) {
        p.table.push_back(i << 16 | (255 - i) << 8 | i % 7);
    }
    p.pixels = StoreRows(width, height, 8, [](int x, int y) { return (x * 3 + y * 11) % 256; });
    return p;
}

// 5-6-5 through BI_BITFIELDS masks after the 40-byte header.
const Pic kMasked16{.width = 3, .height = 2, .bpp = 16, .compression = 3,
                    .masks = {0xF800, 0x07E0, 0x001F}, .pixels = Bytes(16, 0x5A)};

TEST(DibRead, RefusalsShowTheirMessageAndLeaveTheContainerEmpty) {
    const char* kRead = "Read error 1";
    const char* kInvalid = "Invalid bitmap file";
    const std::tuple<const char*, std::function<void(Bytes&)>, const char*> cases[] = {
        {"empty stream", [](Bytes& b) { b.clear(); }, "read error 1"},
        {"13 bytes", [](Bytes& b) { b.resize(13); }, "read error 1"},
        {"no BM", [](Bytes& b) { b[1] = 'A'; }, kInvalid},
        {"cut in the info header", [](Bytes& b) { b.resize(20); }, kRead},
        {"cut in the colour table", [](Bytes& b) { b.resize(54 + 100); }, kRead},
        {"cut in the pixels", [](Bytes& b) { b.pop_back(); }, kRead},
        {"30000 x 30000 at 32 bits", [](Bytes& b) { Put32(b, 18, 30000), Put32(b, 22, 30000), b[28] = 32; },
         kRead},
        {"offset inside the file header", [](Bytes& b) { Put32(b, 10, 20); }, kInvalid},
        {"info header shorter than 40", [](Bytes& b) { Put32(b, 14, 12); }, kInvalid},
        {"info header past the offset", [](Bytes& b) { Put32(b, 14, 2000); }, kInvalid},
        {"zero width", [](Bytes& b) { Put32(b, 18, 0); }, kInvalid},
        {"top-down", [](Bytes& b) { Put32(b, 22, static_cast<std::uint32_t>(-3)); }, kInvalid},
        {"7 bits per pixel", [](Bytes& b) { b[28] = 7; }, kInvalid},
        {"jpeg compression", [](Bytes& b) { Put32(b, 30, 4); }, kInvalid},
        {"rle4 on 8 bits", [](Bytes& b) { Put32(b, 30, 2); }, kInvalid},
        {"rle8 without a size", [](Bytes& b) { Put32(b, 30, 1); }, kInvalid},
        {"bitfields on 8 bits", [](Bytes& b) { Put32(b, 30, 3); }, kInvalid},
        {"stated size below the rows", [](Bytes& b) { Put32(b, 34, 8); }, kInvalid},
        {"more colours than the table", [](Bytes& b) { Put32(b, 46, 257); }, kInvalid},
        {"colour count overflowing", [](Bytes& b) { Put32(b, 46, 0x40000001); }, kInvalid},
        {"row beyond 32 bits", [](Bytes& b) { Put32(b, 18, 0x7FFFFFFF), b[28] = 32; }, kInvalid},
        {"image beyond 32 bits", [](Bytes& b) { Put32(b, 18, 0x10000), Put32(b, 22, 0x10000); },
         kInvalid},
    };
    const Bytes good = FileImage(Make8(5, 3));
    for (const auto& [what, damage, message] : cases) {
        Bytes stream = good;
        damage(stream);
        Messages messages;
        CDib dib;
        ASSERT_TRUE(dib.ReadBmp(good, &messages));
        EXPECT_FALSE(dib.ReadBmp(stream, &messages)) << what;
        EXPECT_EQ(messages.shown, std::vector{"Mixora: " + std::string(message)}) << what;
        EXPECT_TRUE(dib.IsEmpty()) << what;
        EXPECT_EQ(dib.GetSize(), CSize{}) << what;
        EXPECT_FALSE(dib.ReadBmp(stream, nullptr)); // without a message box, silently
    }
    Messages messages;
    Bytes out;
    EXPECT_FALSE(CDib().WriteBmp(out, &messages));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(messages.shown, std::vector<std::string>{"Mixora: write error"});
}

TEST(DibPixel, TwentyFourBitRowsArePaddedAndStoredBottomUp) {
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(Make24(520, 419)), nullptr));
    EXPECT_EQ(dib.BitsPerPixel(), 24);
    EXPECT_EQ(dib.RowBytes(), 1560u);
    EXPECT_EQ(dib.ImageSize(), 1560u * 419u);
    // Pixel (0, 0) is the first pixel of the last stored row.
    const std::uint8_t* lastRow = dib.Pixels() + 1560u * 418u;
    std::uint32_t rgb = 0;
    ASSERT_TRUE(dib.GetPixelRgb(0, 0, &rgb));
    EXPECT_EQ(rgb, std::uint32_t(lastRow[2] << 16 | lastRow[1] << 8 | lastRow[0]));
    for (auto [w, h] : {std::pair{520, 419}, {1, 3}, {2, 3}, {3, 3}, {5, 2}}) {
        ASSERT_TRUE(dib.ReadBmp(FileImage(Make24(w, h)), nullptr));
        EXPECT_EQ(dib.GetSize(), (CSize{w, h}));
        EXPECT_EQ(dib.RowBytes(), static_cast<std::uint32_t>((3 * w + 3) / 4 * 4));
        for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {w / 2, 1}}) {
            ASSERT_TRUE(dib.GetPixelRgb(x, y, &rgb));
            EXPECT_EQ(rgb, Gradient(x, y)) << w << "x" << h << ": " << x << "," << y;
        }
        // Points outside leave the answer alone.
        for (auto [x, y] : {std::pair{w, 0}, {0, h}, {-1, 0}, {0, -1}, {1 << 30, 1 << 30}}) {
            rgb = kUntouched;
            EXPECT_FALSE(dib.GetPixelRgb(x, y, &rgb)) << x << "," << y;
            EXPECT_EQ(rgb, kUntouched);
        }
    }
    dib.Clear();
    EXPECT_FALSE(dib.GetPixelRgb(0, 0, &rgb));
    EXPECT_EQ(rgb, kUntouched);
    EXPECT_EQ(dib.GetSize(), CSize{});
}

TEST(DibPalette, EightBitsGet256EntriesAStatedCountFewerTwentyFourBitsNone) {
    Pic few = Make8(4, 4);
    few.clrUsed = 3;
    few.table = {0x112233, 0x445566, 0x778899};
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(Make8(4, 4)), nullptr));
    ASSERT_EQ(dib.Palette().size(), 256u);
    EXPECT_EQ(dib.Palette()[200], (PaletteEntry{200, 55, 200 % 7, 0}));
    ASSERT_TRUE(dib.ReadBmp(FileImage(few), nullptr));
    EXPECT_EQ(dib.Palette(), (std::vector<PaletteEntry>{{0x11, 0x22, 0x33, 0},
                                                        {0x44, 0x55, 0x66, 0},
                                                        {0x77, 0x88, 0x99, 0}}));
    ASSERT_TRUE(dib.ReadBmp(FileImage(Make24(2, 2)), nullptr));
    EXPECT_EQ(dib.ColorCount(), 0u);
    EXPECT_FALSE(dib.BuildPalette());
    EXPECT_TRUE(dib.Palette().empty());
}

// One row per depth and layout, read from a file and attached in memory.
TEST(DibPixel, EveryDepthGivesTheColourItShows) {
    const std::uint32_t none = kUntouched;
    const std::vector<std::uint32_t> rgbx = {0x0000FF, 0x00FF00, 0xFF0000}; // bytes R, G, B
    const std::tuple<const char*, Pic, std::vector<std::uint32_t>, std::vector<std::uint32_t>>
        cases[] = {
            {"1 bit, across a byte", {.bpp = 1, .table = {0x123456, 0xABCDEF}},
             {1, 0, 0, 0, 0, 0, 0, 1, 1},
             {0xABCDEF, 0x123456, 0x123456, 0x123456, 0x123456, 0x123456, 0x123456, 0xABCDEF,
              0xABCDEF}},
            {"4 bits, short table", {.bpp = 4, .clrUsed = 3, .table = {0x111111, 0x222222, 0x333333}},
             {2, 0, 1, 3}, {0x333333, 0x111111, 0x222222, none}},
            {"8 bits, short table", {.bpp = 8, .clrUsed = 2, .table = {0x111111, 0x222222}}, {1, 9},
             {0x222222, none}},
            {"16 bits, 5-5-5", {.bpp = 16}, {0x7FFF, 0x7C00, 16u << 10 | 8u << 5 | 1u},
             {0xFFFFFF, 0xFF0000, 0x844208}}, // 16/31, 8/31, 1/31 of 255, rounded
            {"16 bits, 5-6-5", kMasked16, {0xFFFF, 0x07E0, 31u << 11 | 32u << 5},
             {0xFFFFFF, 0x00FF00, 0xFF8200}},
            {"24 bits", {.bpp = 24}, {0x123456, 0xABCDEF}, {0x123456, 0xABCDEF}},
            {"32 bits, fourth byte unused", {.bpp = 32}, {0xAA123456}, {0x123456}},
            {"32 bits, masks in a 124-byte header",
             {.bpp = 32, .compression = 3, .infoSize = 124, .masks = rgbx},
             {0xFF332211, 0x00CCBBAA}, {0x112233, 0xAABBCC}},
            {"run-length: kept, but no pixels",
             {.bpp = 8, .compression = 1, .sizeImage = 4, .clrUsed = 1, .table = {0}},
             {4, 7, 0, 1}, {none, none, none, none}},
        };
    for (const auto& [what, pic, stored, expected] : cases) {
        Pic p = pic;
        p.width = static_cast<int>(stored.size());
        p.height = 1;
        p.pixels = StoreRows(p.width, 1, p.bpp, [&](int x, int) { return stored[x]; });
        const Bytes packed = Packed(p);
        CDib read, attached;
        ASSERT_TRUE(read.ReadBmp(FileImage(p), nullptr)) << what;
        ASSERT_TRUE(attached.AttachPacked(packed)) << what;
        for (int x = 0; x < p.width; ++x) {
            for (const CDib* dib : {&read, &attached}) {
                std::uint32_t rgb = none;
                EXPECT_EQ(dib->GetPixelRgb(x, 0, &rgb), expected[x] != none) << what << " " << x;
                EXPECT_EQ(rgb, expected[x]) << what << " " << x;
            }
        }
    }
}

TEST(DibWrite, FileImageRoundTripsByteForByte) {
    Pic longHeader{.width = 3, .height = 2, .bpp = 8, .clrUsed = 2, .infoSize = 108,
                   .table = {0x102030, 0x405060}, .pixels = Bytes(8, 1)};
    for (const Pic& p : {Make24(5, 3), Make8(7, 4), kMasked16, longHeader}) {
        const Bytes original = FileImage(p);
        CDib dib;
        ASSERT_TRUE(dib.ReadBmp(original, nullptr));
        Bytes written;
        ASSERT_TRUE(dib.WriteBmp(written, nullptr));
        EXPECT_EQ(written, original);
        // A packed bitmap is used in place, its pixels right after the table.
        const Bytes packed = Packed(p);
        ASSERT_TRUE(dib.AttachPacked(packed));
        EXPECT_EQ(dib.Header(), packed.data());
        EXPECT_EQ(dib.Pixels(), packed.data() + packed.size() - p.pixels.size());
        written = {0xEE}; // appended to, not replaced
        ASSERT_TRUE(dib.WriteBmp(written, nullptr));
        EXPECT_EQ(Bytes(written.begin() + 1, written.end()), original);
    }
    // The file header of a 7 x 4 8-bit picture: 1110 bytes, pixels at 1078.
    const Bytes file = FileImage(Make8(7, 4));
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 14),
              (Bytes{'B', 'M', 0x56, 4, 0, 0, 0, 0, 0, 0, 0x36, 4, 0, 0}));
}

TEST(DibAttach, SpansTooShortForWhatTheirHeaderSaysAreRefused) {
    const Bytes packed = Packed(Make8(6, 2));
    CDib dib;
    for (std::size_t length : {0ul, 39ul, 40ul, 40ul + 1023, 40ul + 1024, packed.size() - 1}) {
        EXPECT_FALSE(dib.AttachPacked(std::span(packed).first(length))) << length;
        EXPECT_TRUE(dib.IsEmpty());
    }
    Bytes bad = packed;
    Put32(bad, 0, 39); // biSize
    EXPECT_FALSE(dib.AttachPacked(bad));
    EXPECT_TRUE(dib.AttachPacked(packed));
}

// Whatever a damaged bitmap says, an accepted one answers from within its
// bytes, and a refused one shows one of the three messages.
TEST(DibRobustness, MutatedAndTruncatedBitmapsNeverReadOutOfBounds) {
    const Pic four{.width = 9, .bpp = 4, .table = std::vector<std::uint32_t>(16, 0x808080),
                   .pixels = Bytes(8, 0x5A)};
    const Pic seeds[] = {Make24(5, 4), Make8(6, 3), kMasked16, four};
    auto probe = [](const CDib& dib) {
        const CSize s = dib.GetSize();
        ASSERT_TRUE(s.cx > 0 && s.cy > 0);
        EXPECT_EQ(dib.Palette().size(), dib.ColorCount());
        for (auto [x, y] : {std::pair{0, 0}, {s.cx - 1, s.cy - 1}, {s.cx / 2, s.cy / 2}, {s.cx, 0}}) {
            std::uint32_t rgb = 0;
            if (dib.GetPixelRgb(x, y, &rgb)) {
                EXPECT_TRUE(x < s.cx && rgb <= 0xFFFFFF);
            }
        }
        Bytes rewritten;
        CDib again;
        ASSERT_TRUE(dib.WriteBmp(rewritten, nullptr));
        ASSERT_TRUE(again.ReadBmp(rewritten, nullptr));
        EXPECT_EQ(again.GetSize(), s);
    };
    std::mt19937 rng(20240607);
    int reads = 0, attaches = 0;
    for (int round = 0; round < 4000; ++round) {
        Bytes file = FileImage(seeds[round % 4]);
        testing::Mutate(file, rng, 70);
        Messages messages;
        CDib dib;
        if (dib.ReadBmp(file, &messages)) {
            ++reads;
            EXPECT_TRUE(messages.shown.empty());
            probe(dib);
        } else {
            ASSERT_EQ(messages.shown.size(), 1u) << round;
            const std::string& m = messages.shown[0];
            EXPECT_TRUE(m == "Mixora: read error 1" || m == "Mixora: Invalid bitmap file" ||
                        m == "Mixora: Read error 1") << m;
        }
        Bytes packed(file.begin() + std::min<std::size_t>(14, file.size()), file.end());
        CDib attached;
        if (attached.AttachPacked(packed)) {
            ++attaches;
            EXPECT_LE(attached.Pixels() + attached.ImageSize(), packed.data() + packed.size());
            probe(attached);
        }
        ASSERT_FALSE(HasFatalFailure()) << "round " << round;
    }
    EXPECT_GT(reads, 200); // enough survive to exercise the lookups
    EXPECT_GT(attaches, 200);
}

} // namespace
} // namespace mixora
