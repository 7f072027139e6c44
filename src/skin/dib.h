#pragma once
// A device-independent bitmap in the packed layout (40-byte info header,
// colour table, pixel rows bottom row first). Everything read from outside is
// checked against the bytes actually there: a bitmap that does not fit its
// buffer is refused, never read past.
#include <cstdint>
#include <span>
#include <vector>

#include "skin/dib_error.h"

namespace mixora {

struct CSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

class CDib {
public:
    CDib();
    ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // Takes a packed bitmap that stays owned by the caller (a resource in
    // memory); no copy is made, so `packed` must outlive the attachment.
    // False, and an empty container, when the header does not fit the bytes.
    bool AttachPacked(std::span<const std::uint8_t> packed);

    // Reads a .bmp file image. On failure leaves the container empty and
    // describes the problem in `error` (may be null); its text is the
    // classic "read error 1", "Invalid bitmap file" or "Read error 1".
    bool ReadBmp(std::span<const std::uint8_t> stream, DibError* error = nullptr);
    // Appends the .bmp file image to `out`; on failure "write error".
    bool WriteBmp(std::vector<std::uint8_t>& out, DibError* error = nullptr) const;

    // (width, height), or (0, 0) when empty.
    CSize GetSize() const;
    // The colour of pixel (x, y) counted from the top-left as 0xRRGGBB.
    // False for points outside the picture, when empty, or for an
    // unsupported depth; `out` is then left alone.
    bool GetPixelRgb(int x, int y, std::uint32_t* out) const;

    bool BuildPalette();
    const std::vector<PaletteEntry>& Palette() const { return palette_; }
    void Clear();

    bool IsEmpty() const { return header_ == nullptr; }
    int BitsPerPixel() const;
    // Run-length data: the size is known but no pixel can be read.
    bool IsCompressed() const;
    std::uint32_t ImageSize() const { return imageSize_; }
    std::uint32_t ColorCount() const { return colorCount_; }
    // Bytes of one stored pixel row (rounded up to whole 32-bit words).
    std::uint32_t RowBytes() const;
    // The start of the packed bitmap (info header) and of the pixel rows.
    const std::uint8_t* Header() const { return header_; }
    const std::uint8_t* Pixels() const { return pixels_; }

private:
    const std::uint8_t* header_ = nullptr;
    const std::uint8_t* colorTable_ = nullptr;
    const std::uint8_t* pixels_ = nullptr;
    std::vector<std::uint8_t> ownedHeader_; // header + colour table read from a stream
    std::vector<std::uint8_t> ownedPixels_;
    std::uint32_t imageSize_ = 0;
    std::uint32_t colorCount_ = 0;
    std::vector<PaletteEntry> palette_;
};

} // namespace mixora
