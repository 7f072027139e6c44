// A .bmp file or a packed bitmap from a skin package: read it, read every
// pixel, write it back out and read that again; both readings must agree.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "skin/dib.h"
#include "skin/mask_regions.h"

using namespace mixora;

namespace {

// Large pictures are legal, but reading every pixel of one would make each
// run slow; the decoder's bounds checks are the same for a sample.
constexpr long long kMaxPixelsVisited = 64 * 1024;

void Visit(const CDib& dib) {
    const CSize size = dib.GetSize();
    if (static_cast<long long>(size.cx) * size.cy > kMaxPixelsVisited) {
        std::uint32_t rgb = 0;
        dib.GetPixelRgb(0, 0, &rgb);
        dib.GetPixelRgb(size.cx - 1, size.cy - 1, &rgb);
        return;
    }
    for (int y = -1; y <= size.cy; ++y) {
        for (int x = -1; x <= size.cx; ++x) {
            std::uint32_t rgb = 0;
            dib.GetPixelRgb(x, y, &rgb);
        }
    }
    MaskIndex index = MaskIndex::Build(dib);
    index.RegionOf(0, kMaskKeyPixels);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);

    CDib packed;
    if (packed.AttachPacked(bytes)) {
        Visit(packed);
        packed.BuildPalette();
    }

    CDib file;
    if (!file.ReadBmp(bytes, nullptr)) {
        return 0;
    }
    Visit(file);
    file.BuildPalette();

    std::vector<std::uint8_t> written;
    if (!file.WriteBmp(written, nullptr)) {
        return 0;
    }
    CDib again;
    if (!again.ReadBmp(written, nullptr) || !(again.GetSize() == file.GetSize())) {
        std::abort();
    }
    const CSize picture = file.GetSize();
    if (static_cast<long long>(picture.cx) * picture.cy <= kMaxPixelsVisited) {
        for (int y = 0; y < picture.cy; ++y) {
            for (int x = 0; x < picture.cx; ++x) {
                std::uint32_t a = 0;
                std::uint32_t b = 0;
                if (file.GetPixelRgb(x, y, &a) != again.GetPixelRgb(x, y, &b) || a != b) {
                    std::abort();
                }
            }
        }
    }
    return 0;
}
