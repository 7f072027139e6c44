#include "skin/dib.h"

#include <cstddef>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <utility>

namespace mixora {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kMaskBytes = 12; // red, green and blue masks of BI_BITFIELDS
constexpr std::uint16_t kBmSignature = 0x4D42;

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;

// The bitmap format is little-endian whatever the machine is, and nothing in
// it is aligned, so every field is assembled byte by byte.
std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t ReadI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(ReadU32(p));
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

struct InfoHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t clrUsed = 0;
};

// `p` must hold at least the 40-byte info header.
InfoHeader ParseInfoHeader(const std::uint8_t* p) {
    InfoHeader h;
    h.size = ReadU32(p);
    h.width = ReadI32(p + 4);
    h.height = ReadI32(p + 8);
    h.bitCount = ReadU16(p + 14);
    h.compression = ReadU32(p + 16);
    h.sizeImage = ReadU32(p + 20);
    h.clrUsed = ReadU32(p + 32);
    return h;
}

std::uint64_t RowBytesOf(const InfoHeader& h) {
    return (static_cast<std::uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
}

// Where the parts of a packed bitmap lie, counted from the info header.
struct Layout {
    std::size_t colorTableOffset = 0;
    std::size_t colorTableEnd = 0;
    std::uint32_t colorCount = 0;
    std::uint32_t imageSize = 0;
};

// Checks an info header against the `blockBytes` that hold it and its colour
// table. The colour table follows the whole header (biSize bytes, which is 40
// for the classic header but 108 or 124 for the later versions that real
// files carry), plus the three bitfield masks a 40-byte header keeps after
// itself; for the common 40-byte header this is exactly header + 40.
// Top-down bitmaps (negative height) are refused: every skin bitmap is stored
// bottom row first, and the pixel rows are handed out as they are stored.
std::optional<Layout> CheckLayout(const InfoHeader& h, std::size_t blockBytes) {
    if (h.size < kInfoHeaderBytes || h.size > blockBytes) {
        return std::nullopt;
    }
    if (h.width <= 0 || h.height <= 0) {
        return std::nullopt;
    }
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return std::nullopt;
    }
    const bool compressed = h.compression == kBiRle8 || h.compression == kBiRle4;
    switch (h.compression) {
    case kBiRgb:
        break;
    case kBiRle8:
        if (h.bitCount != 8) {
            return std::nullopt;
        }
        break;
    case kBiRle4:
        if (h.bitCount != 4) {
            return std::nullopt;
        }
        break;
    case kBiBitfields:
        if (h.bitCount != 16 && h.bitCount != 32) {
            return std::nullopt;
        }
        break;
    default:
        return std::nullopt;
    }

    // Rows longer than 4 GiB, or pictures whose pixel block would be, are
    // nothing a skin ever holds; refusing them keeps every later product of
    // row length and row index within 32 bits.
    constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();
    const std::uint64_t rowBytes = RowBytesOf(h);
    if (rowBytes > kMax32) {
        return std::nullopt;
    }
    const std::uint64_t computedSize = rowBytes * static_cast<std::uint64_t>(h.height);
    if (computedSize > kMax32) {
        return std::nullopt;
    }

    Layout layout;
    layout.colorCount = h.clrUsed;
    if (layout.colorCount == 0) {
        layout.colorCount = h.bitCount <= 8 ? (1u << h.bitCount) : 0;
    }
    std::size_t tableOffset = h.size;
    if (h.compression == kBiBitfields) {
        if (h.size == kInfoHeaderBytes) {
            tableOffset += kMaskBytes;
        } else if (h.size < kInfoHeaderBytes + kMaskBytes) {
            return std::nullopt; // the masks would overlap the colour table
        }
    }
    const std::uint64_t tableEnd = tableOffset + 4 * static_cast<std::uint64_t>(layout.colorCount);
    if (tableEnd > blockBytes) {
        return std::nullopt;
    }
    layout.colorTableOffset = tableOffset;
    layout.colorTableEnd = static_cast<std::size_t>(tableEnd);

    if (compressed) {
        // The length of run-length data cannot be worked out from the size.
        if (h.sizeImage == 0) {
            return std::nullopt;
        }
        layout.imageSize = h.sizeImage;
    } else {
        // A stated size smaller than the rows would let a pixel lookup run
        // off the end of the block.
        if (h.sizeImage != 0 && h.sizeImage < computedSize) {
            return std::nullopt;
        }
        layout.imageSize =
            h.sizeImage != 0 ? h.sizeImage : static_cast<std::uint32_t>(computedSize);
    }
    return layout;
}

bool Fail(DibError* error, DibErrorKind kind, std::size_t where, const char* text) {
    if (error != nullptr) {
        *error = DibError{kind, where, text};
    }
    return false;
}

// Offsets of the fields a refusal points at.
constexpr std::size_t kOffBitsField = 10;

// Scales the field selected by `mask` to 0..255.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) {
        ++shift;
    }
    const std::uint64_t max = mask >> shift;
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>((value * 255 + max / 2) / max);
}

std::uint32_t RgbFromTable(const std::uint8_t* entry) {
    // Table entries are stored blue, green, red, reserved.
    return (static_cast<std::uint32_t>(entry[2]) << 16) |
           (static_cast<std::uint32_t>(entry[1]) << 8) | entry[0];
}

} // namespace

CDib::CDib() = default;

CDib::~CDib() {
    Clear();
}

void CDib::Clear() {
    header_ = nullptr;
    colorTable_ = nullptr;
    pixels_ = nullptr;
    ownedHeader_ = {};
    ownedPixels_ = {};
    imageSize_ = 0;
    colorCount_ = 0;
    palette_ = {};
}

bool CDib::AttachPacked(std::span<const std::uint8_t> packed) {
    Clear();
    if (packed.size() < kInfoHeaderBytes) {
        return false;
    }
    const InfoHeader h = ParseInfoHeader(packed.data());
    const auto layout = CheckLayout(h, packed.size());
    if (!layout) {
        return false;
    }
    // A packed bitmap has its pixels right after the colour table.
    if (layout->imageSize > packed.size() - layout->colorTableEnd) {
        return false;
    }
    header_ = packed.data();
    colorTable_ = header_ + layout->colorTableOffset;
    pixels_ = header_ + layout->colorTableEnd;
    imageSize_ = layout->imageSize;
    colorCount_ = layout->colorCount;
    BuildPalette();
    return true;
}

bool CDib::ReadBmp(std::span<const std::uint8_t> stream, DibError* error) {
    Clear();
    if (stream.size() < kFileHeaderBytes) {
        return Fail(error, DibErrorKind::Truncated, stream.size(), "read error 1");
    }
    if (ReadU16(stream.data()) != kBmSignature) {
        return Fail(error, DibErrorKind::NotABitmap, 0, "Invalid bitmap file");
    }
    const std::uint32_t offBits = ReadU32(stream.data() + kOffBitsField);
    if (offBits < kFileHeaderBytes + kInfoHeaderBytes) {
        return Fail(error, DibErrorKind::NotABitmap, kOffBitsField, "Invalid bitmap file");
    }
    // Nothing is allocated before the stream is known to hold it.
    if (offBits > stream.size()) {
        return Fail(error, DibErrorKind::Truncated, kOffBitsField, "Read error 1");
    }
    const auto block = stream.subspan(kFileHeaderBytes, offBits - kFileHeaderBytes);
    const InfoHeader h = ParseInfoHeader(block.data());
    const auto layout = CheckLayout(h, block.size());
    if (!layout) {
        return Fail(error, DibErrorKind::NotABitmap, kFileHeaderBytes, "Invalid bitmap file");
    }
    const auto rest = stream.subspan(offBits);
    if (layout->imageSize > rest.size()) {
        return Fail(error, DibErrorKind::Truncated, offBits, "Read error 1");
    }
    try {
        ownedHeader_.assign(block.begin(), block.end());
        ownedPixels_.assign(rest.begin(), rest.begin() + layout->imageSize);
    } catch (const std::bad_alloc&) {
        Clear();
        return Fail(error, DibErrorKind::OutOfMemory, offBits, "Read error 1");
    }
    header_ = ownedHeader_.data();
    colorTable_ = header_ + layout->colorTableOffset;
    pixels_ = ownedPixels_.data();
    imageSize_ = layout->imageSize;
    colorCount_ = layout->colorCount;
    BuildPalette();
    return true;
}

bool CDib::WriteBmp(std::vector<std::uint8_t>& out, DibError* error) const {
    if (header_ == nullptr || pixels_ == nullptr) {
        return Fail(error, DibErrorKind::CannotWrite, 0, "write error");
    }
    // The whole header goes out, not only its first 40 bytes: a longer
    // header or bitfield masks cut off would leave a file whose header says
    // its colour table starts where the pixels are.
    const std::size_t blockBytes =
        static_cast<std::size_t>(colorTable_ - header_) + 4 * static_cast<std::size_t>(colorCount_);
    const std::uint64_t offBits = kFileHeaderBytes + blockBytes;
    const std::uint64_t fileSize = offBits + imageSize_;
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) {
        return Fail(error, DibErrorKind::CannotWrite, 2, "write error");
    }
    try {
        out.reserve(out.size() + static_cast<std::size_t>(fileSize));
        PutU16(out, kBmSignature);
        PutU32(out, static_cast<std::uint32_t>(fileSize));
        PutU16(out, 0);
        PutU16(out, 0);
        PutU32(out, static_cast<std::uint32_t>(offBits));
        out.insert(out.end(), header_, header_ + blockBytes);
        out.insert(out.end(), pixels_, pixels_ + imageSize_);
    } catch (const std::bad_alloc&) {
        return Fail(error, DibErrorKind::OutOfMemory, out.size(), "write error");
    }
    return true;
}

CSize CDib::GetSize() const {
    if (header_ == nullptr) {
        return {};
    }
    return {ReadI32(header_ + 4), ReadI32(header_ + 8)};
}

int CDib::BitsPerPixel() const {
    return header_ != nullptr ? ReadU16(header_ + 14) : 0;
}

bool CDib::IsCompressed() const {
    if (header_ == nullptr) {
        return false;
    }
    const std::uint32_t compression = ParseInfoHeader(header_).compression;
    return compression == kBiRle8 || compression == kBiRle4;
}

std::uint32_t CDib::RowBytes() const {
    if (header_ == nullptr) {
        return 0;
    }
    // Checked to fit 32 bits when the bitmap was taken.
    return static_cast<std::uint32_t>(RowBytesOf(ParseInfoHeader(header_)));
}

bool CDib::GetPixelRgb(int x, int y, std::uint32_t* out) const {
    if (header_ == nullptr || pixels_ == nullptr || out == nullptr) {
        return false;
    }
    const InfoHeader h = ParseInfoHeader(header_);
    if (x < 0 || y < 0 || x >= h.width || y >= h.height) {
        return false;
    }
    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        return false;
    }
    // Rows are stored bottom row first.
    const std::uint64_t rowBytes = RowBytesOf(h);
    const std::uint64_t rowStart = static_cast<std::uint64_t>(h.height - 1 - y) * rowBytes;
    if (rowStart + rowBytes > imageSize_) {
        return false;
    }
    const std::uint8_t* row = pixels_ + rowStart;
    const auto ux = static_cast<std::size_t>(x);

    auto fromTable = [&](std::uint32_t index) {
        if (index >= colorCount_) {
            return false; // no colour stated for this index
        }
        *out = RgbFromTable(colorTable_ + 4 * static_cast<std::size_t>(index));
        return true;
    };
    // Masks of a BI_BITFIELDS bitmap sit right after the 40-byte header,
    // inside the longer header versions and after the short one alike.
    auto fromMasks = [&](std::uint32_t pixel) {
        const std::uint8_t* masks = header_ + kInfoHeaderBytes;
        *out = (Channel(pixel, ReadU32(masks)) << 16) | (Channel(pixel, ReadU32(masks + 4)) << 8) |
               Channel(pixel, ReadU32(masks + 8));
        return true;
    };

    switch (h.bitCount) {
    case 1:
        return fromTable((row[ux / 8] >> (7 - ux % 8)) & 0x01);
    case 4:
        return fromTable((row[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0x0F);
    case 8:
        return fromTable(row[ux]);
    case 16: {
        const std::uint32_t pixel = ReadU16(row + 2 * ux);
        if (h.compression == kBiBitfields) {
            return fromMasks(pixel);
        }
        // 5-5-5 with the top bit unused.
        *out =
            (Channel(pixel, 0x7C00) << 16) | (Channel(pixel, 0x03E0) << 8) | Channel(pixel, 0x001F);
        return true;
    }
    case 24: {
        const std::uint8_t* p = row + 3 * ux;
        *out = RgbFromTable(p);
        return true;
    }
    case 32: {
        const std::uint32_t pixel = ReadU32(row + 4 * ux);
        if (h.compression == kBiBitfields) {
            return fromMasks(pixel);
        }
        *out = pixel & 0x00FFFFFF; // blue, green, red, unused
        return true;
    }
    default:
        return false;
    }
}

bool CDib::BuildPalette() {
    if (colorCount_ == 0 || colorTable_ == nullptr) {
        return false;
    }
    std::vector<PaletteEntry> entries(colorCount_);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint8_t* e = colorTable_ + 4 * i;
        entries[i] = PaletteEntry{e[2], e[1], e[0], 0};
    }
    palette_ = std::move(entries);
    return true;
}

} // namespace mixora
