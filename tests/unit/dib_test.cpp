#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/message_box.h"
#include "skin/dib.h"

namespace {

using mixora::CDib;
using mixora::CSize;
using mixora::PaletteEntry;
using Bytes = std::vector<std::uint8_t>;

class RecordingMessages : public mixora::IMessageBox {
public:
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override {
        texts.push_back(text);
        captions.push_back(caption);
        types.push_back(type);
        return mixora::IDOK;
    }
    std::vector<std::string> texts;
    std::vector<std::string> captions;
    std::vector<unsigned> types;
};

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A picture as stored: info header fields, what follows the header (masks,
// colour table) and the pixel rows bottom row first.
struct Pic {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bpp = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t infoSize = 40;
    Bytes afterHeader;
    Bytes pixels;
};

std::uint32_t RowBytes(int width, int bpp) { return (width * bpp + 31) / 32 * 4; }

// Stores `value(x, y)` (y from the top) bottom row first: palette indices
// most significant bits first, 16/32-bit values little-endian, 24-bit values
// as 0xRRGGBB written blue, green, red.
Bytes StoreRows(int width, int height, int bpp,
                const std::function<std::uint32_t(int, int)>& value) {
    const std::uint32_t rowBytes = RowBytes(width, bpp);
    Bytes out(static_cast<std::size_t>(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + static_cast<std::size_t>(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            switch (bpp) {
            case 1:
                row[x / 8] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= static_cast<std::uint8_t>((v & 15) << (x % 2 == 0 ? 4 : 0));
                break;
            case 8:
                row[x] = static_cast<std::uint8_t>(v);
                break;
            case 16:
                row[2 * x] = static_cast<std::uint8_t>(v);
                row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
                break;
            case 24:
                row[3 * x] = static_cast<std::uint8_t>(v);
                row[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
                row[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
                break;
            case 32:
                for (int i = 0; i < 4; ++i) {
                    row[4 * x + i] = static_cast<std::uint8_t>(v >> (8 * i));
                }
                break;
            }
        }
    }
    return out;
}

// Colour table entries from 0xRRGGBB values, stored blue, green, red, 0.
Bytes Table(const std::vector<std::uint32_t>& rgb) {
    Bytes out;
    for (std::uint32_t c : rgb) {
        Put32(out, c & 0xFFFFFF);
    }
    return out;
}

Bytes Packed(const Pic& p) {
    Bytes b;
    Put32(b, p.infoSize);
    Put32(b, static_cast<std::uint32_t>(p.width));
    Put32(b, static_cast<std::uint32_t>(p.height));
    Put16(b, 1);
    Put16(b, p.bpp);
    Put32(b, p.compression);
    Put32(b, p.sizeImage);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, p.clrUsed);
    Put32(b, 0);
    b.resize(p.infoSize, 0);
    b.insert(b.end(), p.afterHeader.begin(), p.afterHeader.end());
    b.insert(b.end(), p.pixels.begin(), p.pixels.end());
    return b;
}

Bytes FileImage(const Pic& p) {
    const Bytes packed = Packed(p);
    const std::uint32_t offBits = 14 + p.infoSize + static_cast<std::uint32_t>(p.afterHeader.size());
    Bytes b;
    Put16(b, 0x4D42);
    Put32(b, static_cast<std::uint32_t>(14 + packed.size()));
    Put16(b, 0);
    Put16(b, 0);
    Put32(b, offBits);
    b.insert(b.end(), packed.begin(), packed.end());
    return b;
}

std::uint32_t Gradient(int x, int y) {
    return (static_cast<std::uint32_t>(x * 7 % 256) << 16) |
           (static_cast<std::uint32_t>(y * 5 % 256) << 8) | static_cast<std::uint32_t>((x + y) % 256);
}

Pic Make24(int width, int height) {
    Pic p;
    p.width = width;
    p.height = height;
    p.bpp = 24;
    p.pixels = StoreRows(width, height, 24, Gradient);
    return p;
}

std::vector<std::uint32_t> GreyRamp(int n) {
    std::vector<std::uint32_t> rgb;
    for (int i = 0; i < n; ++i) {
        const std::uint32_t v = static_cast<std::uint32_t>(i * 255 / (n - 1));
        rgb.push_back((v << 16) | ((255 - v) << 8) | (i % 7));
    }
    return rgb;
}

Pic Make8(int width, int height) {
    Pic p;
    p.width = width;
    p.height = height;
    p.bpp = 8;
    p.afterHeader = Table(GreyRamp(256));
    p.pixels = StoreRows(width, height, 8, [](int x, int y) { return (x * 3 + y * 11) % 256; });
    return p;
}

// --- reading ---------------------------------------------------------------

TEST(DibRead, StreamsThatAreNotBitmapsAreRefusedWithTheirMessage) {
    struct Case {
        Bytes stream;
        std::string message;
    };
    Bytes notBm = FileImage(Make24(2, 2));
    notBm[1] = 'A';
    const std::vector<Case> cases = {
        {{}, "read error 1"},
        {{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0}, "read error 1"},
        {notBm, "Invalid bitmap file"},
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        CDib dib;
        EXPECT_FALSE(dib.ReadBmp(c.stream, &messages));
        EXPECT_TRUE(dib.IsEmpty());
        EXPECT_EQ(dib.GetSize(), CSize{});
        ASSERT_EQ(messages.texts.size(), 1u);
        EXPECT_EQ(messages.texts[0], c.message);
        EXPECT_EQ(messages.captions[0], "Mixora");
        EXPECT_EQ(messages.types[0], mixora::MB_OK | mixora::MB_ICONERROR);
        // Without a message box the refusal is silent.
        EXPECT_FALSE(dib.ReadBmp(c.stream, nullptr));
    }
}

TEST(DibRead, StreamEndingInsideHeaderTableOrPixelsIsAReadError) {
    const Bytes whole = FileImage(Make8(5, 3));
    // Cut inside the info header, inside the colour table, inside the pixels
    // and one byte short of the end.
    for (std::size_t length : {20u, 54u + 100u, 54u + 1024u + 4u, 54u + 1024u + 24u - 1u}) {
        RecordingMessages messages;
        CDib dib;
        EXPECT_FALSE(dib.ReadBmp(std::span(whole).first(length), &messages)) << length;
        EXPECT_TRUE(dib.IsEmpty());
        ASSERT_EQ(messages.texts.size(), 1u);
        EXPECT_EQ(messages.texts[0], "Read error 1") << length;
    }
    CDib dib;
    EXPECT_TRUE(dib.ReadBmp(whole, nullptr));
}

TEST(DibRead, HeadersThatDoNotDescribeTheirBytesAreInvalid) {
    struct Case {
        const char* what;
        std::function<void(Bytes&)> mutate;
    };
    const std::vector<Case> cases = {
        {"offset inside the file header", [](Bytes& b) { Set32(b, 10, 20); }},
        {"info header shorter than 40", [](Bytes& b) { Set32(b, 14, 12); }},
        {"info header longer than the offset", [](Bytes& b) { Set32(b, 14, 2000); }},
        {"zero width", [](Bytes& b) { Set32(b, 18, 0); }},
        {"negative width", [](Bytes& b) { Set32(b, 18, 0xFFFFFFFF); }},
        {"zero height", [](Bytes& b) { Set32(b, 22, 0); }},
        {"top-down", [](Bytes& b) { Set32(b, 22, static_cast<std::uint32_t>(-3)); }},
        {"7 bits per pixel", [](Bytes& b) { b[28] = 7; }},
        {"0 bits per pixel", [](Bytes& b) { b[28] = 0; }},
        {"jpeg compression", [](Bytes& b) { Set32(b, 30, 4); }},
        {"rle4 on 8 bits", [](Bytes& b) { Set32(b, 30, 2); }},
        {"rle8 without a size", [](Bytes& b) { Set32(b, 30, 1); }},
        {"bitfields on 8 bits", [](Bytes& b) { Set32(b, 30, 3); }},
        {"stated size smaller than the rows", [](Bytes& b) { Set32(b, 34, 8); }},
        {"more colours than the table holds", [](Bytes& b) { Set32(b, 46, 257); }},
        {"colour count overflowing", [](Bytes& b) { Set32(b, 46, 0x40000001); }},
        {"row length beyond 32 bits", [](Bytes& b) {
             Set32(b, 18, 0x7FFFFFFF);
             b[28] = 32;
         }},
        {"image size beyond 32 bits", [](Bytes& b) {
             Set32(b, 18, 0x10000);
             Set32(b, 22, 0x10000);
         }},
    };
    for (const auto& c : cases) {
        Bytes stream = FileImage(Make8(5, 3));
        c.mutate(stream);
        RecordingMessages messages;
        CDib dib;
        EXPECT_FALSE(dib.ReadBmp(stream, &messages)) << c.what;
        EXPECT_TRUE(dib.IsEmpty()) << c.what;
        ASSERT_EQ(messages.texts.size(), 1u) << c.what;
        EXPECT_EQ(messages.texts[0], "Invalid bitmap file") << c.what;
    }
}

TEST(DibRead, HugeDimensionsAreRefusedWithoutAllocatingThem) {
    // 30000 x 30000 at 32 bits would be 3.6 GB of pixels; the stream has 4.
    Bytes stream = FileImage(Make24(1, 1));
    Set32(stream, 18, 30000);
    Set32(stream, 22, 30000);
    stream[28] = 32;
    RecordingMessages messages;
    CDib dib;
    EXPECT_FALSE(dib.ReadBmp(stream, &messages));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], "Read error 1");
}

TEST(DibRead, AFailedReadEmptiesAContainerThatHeldAPicture) {
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(Make24(3, 3)), nullptr));
    EXPECT_FALSE(dib.ReadBmp(Bytes{'X', 'Y'}, nullptr));
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_EQ(dib.ImageSize(), 0u);
    std::uint32_t rgb = 0;
    EXPECT_FALSE(dib.GetPixelRgb(0, 0, &rgb));
}

// --- 24-bit pictures, the depth of every skin mask ----------------------------

TEST(DibPixel, Picture520x419HasRowsOf1560BytesStoredBottomUp) {
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(Make24(520, 419)), nullptr));
    EXPECT_EQ(dib.GetSize(), (CSize{520, 419}));
    EXPECT_EQ(dib.BitsPerPixel(), 24);
    EXPECT_EQ(dib.RowBytes(), 1560u);
    EXPECT_EQ(dib.ImageSize(), 1560u * 419u);

    // Pixel (0, 0) is the first pixel of the last stored row.
    const std::uint8_t* lastRow = dib.Pixels() + 1560u * 418u;
    std::uint32_t rgb = 0;
    ASSERT_TRUE(dib.GetPixelRgb(0, 0, &rgb));
    EXPECT_EQ(rgb, (std::uint32_t{lastRow[2]} << 16) | (lastRow[1] << 8) | lastRow[0]);
    EXPECT_EQ(rgb, Gradient(0, 0));

    for (auto [x, y] : {std::pair{519, 0}, {0, 418}, {519, 418}, {260, 200}, {1, 1}}) {
        ASSERT_TRUE(dib.GetPixelRgb(x, y, &rgb));
        EXPECT_EQ(rgb, Gradient(x, y)) << x << "," << y;
    }
}

TEST(DibPixel, PointsOutsideThePictureLeaveTheAnswerAlone) {
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(Make24(7, 5)), nullptr));
    for (auto [x, y] : {std::pair{7, 0}, {0, 5}, {-1, 0}, {0, -1}, {7, 5}, {1 << 30, 1 << 30}}) {
        std::uint32_t rgb = 0xDEADBEEF;
        EXPECT_FALSE(dib.GetPixelRgb(x, y, &rgb)) << x << "," << y;
        EXPECT_EQ(rgb, 0xDEADBEEFu);
    }
    CDib empty;
    std::uint32_t rgb = 0xDEADBEEF;
    EXPECT_FALSE(empty.GetPixelRgb(0, 0, &rgb));
    EXPECT_EQ(rgb, 0xDEADBEEFu);
    EXPECT_EQ(empty.GetSize(), CSize{});
    EXPECT_EQ(empty.RowBytes(), 0u);
    EXPECT_EQ(empty.BitsPerPixel(), 0);
}

TEST(DibPixel, OddWidthsPadEachRowToWholeWords) {
    for (int width = 1; width <= 9; ++width) {
        CDib dib;
        ASSERT_TRUE(dib.ReadBmp(FileImage(Make24(width, 3)), nullptr));
        EXPECT_EQ(dib.RowBytes(), static_cast<std::uint32_t>((3 * width + 3) / 4 * 4));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < width; ++x) {
                std::uint32_t rgb = 0;
                ASSERT_TRUE(dib.GetPixelRgb(x, y, &rgb));
                EXPECT_EQ(rgb, Gradient(x, y)) << width << ": " << x << "," << y;
            }
        }
    }
}

// --- colour tables and palettes ---------------------------------------------

TEST(DibPalette, EightBitsWithoutAColourCountGet256EntriesAndAPalette) {
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(Make8(4, 4)), nullptr));
    EXPECT_EQ(dib.ColorCount(), 256u);
    const auto ramp = GreyRamp(256);
    ASSERT_EQ(dib.Palette().size(), 256u);
    for (std::size_t i = 0; i < 256; ++i) {
        const PaletteEntry expected{static_cast<std::uint8_t>(ramp[i] >> 16),
                                    static_cast<std::uint8_t>(ramp[i] >> 8),
                                    static_cast<std::uint8_t>(ramp[i]), 0};
        EXPECT_EQ(dib.Palette()[i], expected) << i;
    }
}

TEST(DibPalette, StatedColourCountAndDefaultsPerDepth) {
    Pic few = Make8(4, 4);
    few.clrUsed = 3;
    few.afterHeader = Table({0x112233, 0x445566, 0x778899});
    few.pixels = StoreRows(4, 4, 8, [](int x, int) { return x % 3; });
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(few), nullptr));
    EXPECT_EQ(dib.ColorCount(), 3u);
    EXPECT_EQ(dib.Palette(), (std::vector<PaletteEntry>{
                                 {0x11, 0x22, 0x33, 0}, {0x44, 0x55, 0x66, 0}, {0x77, 0x88, 0x99, 0}}));

    Pic mono;
    mono.bpp = 1;
    mono.afterHeader = Table({0, 0xFFFFFF});
    mono.pixels = StoreRows(1, 1, 1, [](int, int) { return 1; });
    ASSERT_TRUE(dib.ReadBmp(FileImage(mono), nullptr));
    EXPECT_EQ(dib.ColorCount(), 2u);

    ASSERT_TRUE(dib.ReadBmp(FileImage(Make24(2, 2)), nullptr));
    EXPECT_EQ(dib.ColorCount(), 0u);
    EXPECT_TRUE(dib.Palette().empty());
    EXPECT_FALSE(dib.BuildPalette());
    EXPECT_TRUE(dib.Palette().empty());
}

// --- every depth gives the colour it shows ------------------------------------

TEST(DibPixel, PalettedDepthsLookUpTheColourTable) {
    const std::vector<std::uint32_t> colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                                                0x123456, 0xABCDEF, 0x808080, 0xFFFFFF,
                                                0x010203, 0x040506, 0x070809, 0x0A0B0C,
                                                0x0D0E0F, 0x101112, 0x131415, 0x161718};
    for (int bpp : {1, 4, 8}) {
        const int n = 1 << std::min(bpp, 4);
        Pic p;
        p.width = 13; // not a whole byte of 1- or 4-bit pixels
        p.height = 3;
        p.bpp = static_cast<std::uint16_t>(bpp);
        p.clrUsed = static_cast<std::uint32_t>(n);
        p.afterHeader = Table(std::vector<std::uint32_t>(colours.begin(), colours.begin() + n));
        auto index = [n](int x, int y) { return static_cast<std::uint32_t>((x + 2 * y) % n); };
        p.pixels = StoreRows(p.width, p.height, bpp, index);
        CDib dib;
        ASSERT_TRUE(dib.ReadBmp(FileImage(p), nullptr)) << bpp;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                std::uint32_t rgb = 0xDEADBEEF;
                ASSERT_TRUE(dib.GetPixelRgb(x, y, &rgb));
                EXPECT_EQ(rgb, colours[index(x, y)]) << bpp << ": " << x << "," << y;
            }
        }
    }
}

TEST(DibPixel, IndexBeyondAShortColourTableHasNoColour) {
    Pic p = Make8(2, 1);
    p.clrUsed = 2;
    p.afterHeader = Table({0x111111, 0x222222});
    p.pixels = {1, 9, 0, 0};
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(p), nullptr));
    std::uint32_t rgb = 0;
    EXPECT_TRUE(dib.GetPixelRgb(0, 0, &rgb));
    EXPECT_EQ(rgb, 0x222222u);
    rgb = 0xDEADBEEF;
    EXPECT_FALSE(dib.GetPixelRgb(1, 0, &rgb));
    EXPECT_EQ(rgb, 0xDEADBEEFu);
}

TEST(DibPixel, SixteenBitsAre555UnlessMasksSayOtherwise) {
    Pic p;
    p.width = 3;
    p.height = 1;
    p.bpp = 16;
    // white, pure red, and red 16 / green 8 / blue 1 of 31
    const std::vector<std::uint32_t> stored = {0x7FFF, 0x7C00, (16u << 10) | (8u << 5) | 1u};
    p.pixels = StoreRows(3, 1, 16, [&](int x, int) { return stored[x]; });
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(p), nullptr));
    std::uint32_t rgb = 0;
    ASSERT_TRUE(dib.GetPixelRgb(0, 0, &rgb));
    EXPECT_EQ(rgb, 0xFFFFFFu);
    ASSERT_TRUE(dib.GetPixelRgb(1, 0, &rgb));
    EXPECT_EQ(rgb, 0xFF0000u);
    ASSERT_TRUE(dib.GetPixelRgb(2, 0, &rgb));
    EXPECT_EQ(rgb, 0x844208u); // 16/31, 8/31, 1/31 of 255, rounded

    // 5-6-5 through BI_BITFIELDS masks after the 40-byte header.
    Pic q = p;
    q.compression = 3;
    Put32(q.afterHeader, 0xF800);
    Put32(q.afterHeader, 0x07E0);
    Put32(q.afterHeader, 0x001F);
    const std::vector<std::uint32_t> stored565 = {0xFFFF, 0x07E0, (31u << 11) | (32u << 5)};
    q.pixels = StoreRows(3, 1, 16, [&](int x, int) { return stored565[x]; });
    ASSERT_TRUE(dib.ReadBmp(FileImage(q), nullptr));
    ASSERT_TRUE(dib.GetPixelRgb(0, 0, &rgb));
    EXPECT_EQ(rgb, 0xFFFFFFu);
    ASSERT_TRUE(dib.GetPixelRgb(1, 0, &rgb));
    EXPECT_EQ(rgb, 0x00FF00u);
    ASSERT_TRUE(dib.GetPixelRgb(2, 0, &rgb));
    EXPECT_EQ(rgb, 0xFF8200u); // green 32/63 of 255 = 129.5, rounded up
}

TEST(DibPixel, ThirtyTwoBitsAreBgrxUnlessMasksSayOtherwise) {
    Pic p;
    p.width = 2;
    p.height = 2;
    p.bpp = 32;
    p.pixels = StoreRows(2, 2, 32, [](int x, int y) { return 0xAA000000u | Gradient(x, y); });
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(p), nullptr));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            std::uint32_t rgb = 0;
            ASSERT_TRUE(dib.GetPixelRgb(x, y, &rgb));
            EXPECT_EQ(rgb, Gradient(x, y)); // the fourth byte is not colour
        }
    }

    // Bytes stored red, green, blue, alpha, described by masks inside a
    // 124-byte header.
    Pic q = p;
    q.compression = 3;
    q.infoSize = 124;
    q.pixels = StoreRows(2, 2, 32, [](int x, int) { return x == 0 ? 0xFF332211u : 0x00CCBBAAu; });
    Bytes packed = Packed(q);
    Set32(packed, 40, 0x000000FF);
    Set32(packed, 44, 0x0000FF00);
    Set32(packed, 48, 0x00FF0000);
    ASSERT_TRUE(dib.AttachPacked(packed));
    std::uint32_t rgb = 0;
    ASSERT_TRUE(dib.GetPixelRgb(0, 1, &rgb));
    EXPECT_EQ(rgb, 0x112233u);
    ASSERT_TRUE(dib.GetPixelRgb(1, 1, &rgb));
    EXPECT_EQ(rgb, 0xAABBCCu);
}

TEST(DibPixel, RunLengthPicturesAreKeptButGiveNoPixels) {
    Pic p = Make8(4, 2);
    p.compression = 1;
    p.pixels = {4, 7, 0, 0, 4, 9, 0, 1}; // two rows of four, end of bitmap
    p.sizeImage = static_cast<std::uint32_t>(p.pixels.size());
    CDib dib;
    ASSERT_TRUE(dib.ReadBmp(FileImage(p), nullptr));
    EXPECT_EQ(dib.GetSize(), (CSize{4, 2}));
    EXPECT_EQ(dib.ImageSize(), 8u);
    std::uint32_t rgb = 0xDEADBEEF;
    EXPECT_FALSE(dib.GetPixelRgb(0, 0, &rgb));
    EXPECT_EQ(rgb, 0xDEADBEEFu);
}

// --- packed bitmaps in memory ------------------------------------------------

TEST(DibAttach, UsesTheCallersBytesWithPixelsRightAfterTheColourTable) {
    const Bytes packed = Packed(Make8(6, 2));
    CDib dib;
    ASSERT_TRUE(dib.AttachPacked(packed));
    EXPECT_EQ(dib.Header(), packed.data());
    EXPECT_EQ(dib.Pixels(), packed.data() + 40 + 1024);
    EXPECT_EQ(dib.Palette().size(), 256u);
    const auto ramp = GreyRamp(256);
    std::uint32_t rgb = 0;
    ASSERT_TRUE(dib.GetPixelRgb(5, 1, &rgb));
    EXPECT_EQ(rgb, ramp[(5 * 3 + 11) % 256]);

    dib.Clear();
    EXPECT_TRUE(dib.IsEmpty());
    EXPECT_TRUE(dib.Palette().empty());
    EXPECT_EQ(dib.ColorCount(), 0u);
}

TEST(DibAttach, LongerHeadersKeepTheirColourTableAfterThem) {
    // A 108-byte header (the version with colour space fields): the table
    // follows the whole header, where every writer of such files puts it.
    Pic p = Make8(3, 2);
    p.infoSize = 108;
    p.clrUsed = 2;
    p.afterHeader = Table({0x102030, 0x405060});
    p.pixels = StoreRows(3, 2, 8, [](int x, int y) { return (x + y) % 2; });
    const Bytes packed = Packed(p);
    CDib dib;
    ASSERT_TRUE(dib.AttachPacked(packed));
    EXPECT_EQ(dib.Pixels(), packed.data() + 108 + 8);
    EXPECT_EQ(dib.Palette()[1], (PaletteEntry{0x40, 0x50, 0x60, 0}));
    std::uint32_t rgb = 0;
    ASSERT_TRUE(dib.GetPixelRgb(1, 0, &rgb));
    EXPECT_EQ(rgb, 0x405060u);

    // Written out and read back, the file says the same thing.
    Bytes file;
    ASSERT_TRUE(dib.WriteBmp(file, nullptr));
    EXPECT_EQ(file, FileImage(p));
    CDib back;
    ASSERT_TRUE(back.ReadBmp(file, nullptr));
    ASSERT_TRUE(back.GetPixelRgb(1, 0, &rgb));
    EXPECT_EQ(rgb, 0x405060u);
}

TEST(DibAttach, SpansTooShortForWhatTheirHeaderSaysAreRefused) {
    const Bytes packed = Packed(Make8(6, 2));
    CDib dib;
    for (std::size_t length :
         std::vector<std::size_t>{0, 39, 40, 40 + 1023, 40 + 1024, packed.size() - 1}) {
        const Bytes cut(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(dib.AttachPacked(cut)) << length;
        EXPECT_TRUE(dib.IsEmpty());
    }
    Bytes bad = packed;
    Set32(bad, 0, 39); // biSize
    EXPECT_FALSE(dib.AttachPacked(bad));
    EXPECT_TRUE(dib.AttachPacked(packed));
}

// --- writing ------------------------------------------------------------------

TEST(DibWrite, FileImageRoundTripsByteForByte) {
    Pic odd = Make24(5, 3);
    Pic masked;
    masked.width = 3;
    masked.height = 2;
    masked.bpp = 16;
    masked.compression = 3;
    Put32(masked.afterHeader, 0xF800);
    Put32(masked.afterHeader, 0x07E0);
    Put32(masked.afterHeader, 0x001F);
    masked.pixels = StoreRows(3, 2, 16, [](int x, int y) { return 0x1234u * (x + 1) + y; });
    for (const Pic& p : {odd, Make8(7, 4), masked}) {
        const Bytes original = FileImage(p);
        CDib dib;
        ASSERT_TRUE(dib.ReadBmp(original, nullptr));
        Bytes written;
        ASSERT_TRUE(dib.WriteBmp(written, nullptr));
        EXPECT_EQ(written, original);

        // The same from a packed bitmap in memory.
        const Bytes packed = Packed(p);
        ASSERT_TRUE(dib.AttachPacked(packed));
        written.clear();
        ASSERT_TRUE(dib.WriteBmp(written, nullptr));
        EXPECT_EQ(written, original);
    }
}

TEST(DibWrite, FileHeaderCountsColourTableAndPixels) {
    const Bytes packed = Packed(Make8(7, 4)); // rows of 8 bytes
    CDib dib;
    ASSERT_TRUE(dib.AttachPacked(packed));
    Bytes out = {0xEE}; // appended, not replaced
    ASSERT_TRUE(dib.WriteBmp(out, nullptr));
    ASSERT_EQ(out.size(), 1u + 14u + 40u + 1024u + 32u);
    const Bytes fileHeader(out.begin() + 1, out.begin() + 15);
    EXPECT_EQ(fileHeader, (Bytes{'B', 'M', 0x56, 0x04, 0, 0, 0, 0, 0, 0, 0x36, 0x04, 0, 0}));
    EXPECT_TRUE(std::equal(packed.begin(), packed.end(), out.begin() + 15));
}

TEST(DibWrite, AnEmptyContainerHasNothingToWrite) {
    RecordingMessages messages;
    CDib dib;
    Bytes out;
    EXPECT_FALSE(dib.WriteBmp(out, &messages));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(messages.texts, std::vector<std::string>{"write error"});
}

// --- robustness against hostile files ----------------------------------------

// Deterministic so that a failure can be replayed.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint32_t Below(std::uint32_t n) { return Next() % n; }

private:
    std::uint64_t state_;
};

// Every answer of an accepted bitmap must come from within its bytes.
void ProbeAccepted(const CDib& dib, const std::uint8_t* begin, std::size_t size) {
    ASSERT_FALSE(dib.IsEmpty());
    const CSize s = dib.GetSize();
    ASSERT_GT(s.cx, 0);
    ASSERT_GT(s.cy, 0);
    if (begin != nullptr) {
        EXPECT_GE(dib.Pixels(), begin);
        EXPECT_LE(dib.Pixels() + dib.ImageSize(), begin + size);
    }
    EXPECT_EQ(dib.Palette().size(), dib.ColorCount());
    const std::pair<int, int> points[] = {{0, 0},
                                          {s.cx - 1, 0},
                                          {0, s.cy - 1},
                                          {s.cx - 1, s.cy - 1},
                                          {s.cx / 2, s.cy / 2},
                                          {s.cx, 0},
                                          {0, s.cy}};
    for (auto [x, y] : points) {
        std::uint32_t rgb = 0;
        const bool inside = x < s.cx && y < s.cy;
        if (dib.GetPixelRgb(x, y, &rgb)) {
            EXPECT_TRUE(inside);
            EXPECT_LE(rgb, 0xFFFFFFu);
        }
    }
    Bytes rewritten;
    ASSERT_TRUE(dib.WriteBmp(rewritten, nullptr));
    CDib again;
    ASSERT_TRUE(again.ReadBmp(rewritten, nullptr));
    EXPECT_EQ(again.GetSize(), s);
}

TEST(DibRobustness, MutatedAndTruncatedBitmapsNeverReadOutOfBounds) {
    Pic bitfields;
    bitfields.width = 5;
    bitfields.height = 3;
    bitfields.bpp = 16;
    bitfields.compression = 3;
    Put32(bitfields.afterHeader, 0xF800);
    Put32(bitfields.afterHeader, 0x07E0);
    Put32(bitfields.afterHeader, 0x001F);
    bitfields.pixels = StoreRows(5, 3, 16, [](int x, int y) { return 0x0841u * (x + y); });
    Pic four;
    four.width = 9;
    four.height = 2;
    four.bpp = 4;
    four.afterHeader = Table(GreyRamp(16));
    four.pixels = StoreRows(9, 2, 4, [](int x, int) { return x; });
    const std::vector<Pic> seeds = {Make24(5, 4), Make8(6, 3), bitfields, four};

    const std::uint32_t interesting[] = {0,          1,          2,          3,          8,
                                         24,         32,         40,         0x7FFFFFFF, 0x80000000,
                                         0xFFFFFFFF, 0xFFFFFFF0, 0x10000,    1024,       54};
    Lcg rng(20240607);
    int acceptedReads = 0;
    int acceptedAttaches = 0;
    for (int round = 0; round < 4000; ++round) {
        const Pic& seed = seeds[round % seeds.size()];
        Bytes file = FileImage(seed);
        const std::uint32_t edits = 1 + rng.Below(4);
        for (std::uint32_t e = 0; e < edits; ++e) {
            // Mostly the headers, sometimes anywhere.
            const std::size_t span = rng.Below(4) == 0 ? file.size() : std::min<std::size_t>(70, file.size());
            const std::size_t at = rng.Below(static_cast<std::uint32_t>(span));
            if (rng.Below(2) == 0 && at + 4 <= file.size()) {
                Set32(file, at, interesting[rng.Below(std::size(interesting))]);
            } else {
                file[at] = static_cast<std::uint8_t>(rng.Next());
            }
        }
        if (rng.Below(3) == 0) {
            file.resize(rng.Below(static_cast<std::uint32_t>(file.size()) + 1));
        }
        file.shrink_to_fit(); // so that a read past the end is caught

        RecordingMessages messages;
        CDib dib;
        if (dib.ReadBmp(file, &messages)) {
            ++acceptedReads;
            EXPECT_TRUE(messages.texts.empty());
            ProbeAccepted(dib, nullptr, 0);
        } else {
            EXPECT_TRUE(dib.IsEmpty());
            ASSERT_EQ(messages.texts.size(), 1u) << round;
            const std::string& m = messages.texts[0];
            EXPECT_TRUE(m == "read error 1" || m == "Invalid bitmap file" || m == "Read error 1")
                << m;
        }

        if (file.size() > 14) {
            const Bytes packed(file.begin() + 14, file.end());
            CDib attached;
            if (attached.AttachPacked(packed)) {
                ++acceptedAttaches;
                ProbeAccepted(attached, packed.data(), packed.size());
            } else {
                EXPECT_TRUE(attached.IsEmpty());
            }
        }
        if (HasFatalFailure()) {
            FAIL() << "round " << round;
        }
    }
    // The mutations must leave enough valid pictures to exercise the lookups.
    EXPECT_GT(acceptedReads, 200);
    EXPECT_GT(acceptedAttaches, 200);
}

} // namespace
