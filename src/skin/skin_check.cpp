#include "skin/skin_check.h"

#include <array>
#include <filesystem>
#include <new>
#include <vector>

#include "skin/dib.h"
#include "skin/mask_regions.h"
#include "skin/pe_resources.h"
#include "skin/skin.h"
#include "skin/skin_controls.h"

namespace mixora {
namespace {

constexpr std::array<const char*, 12> kBitmaps = {"SKINBASE",  "SKINFOCUS", "SKINDOWN", "SKINMASK",
                                                  "SKINMASK2", "PLAYSTS",   "EQONSTS",  "MUTESTS",
                                                  "REPEATSTS", "VOICECSTS", "PLAYNO",   "RECORDNO"};

constexpr int kChangeSkinId = 1065;

std::string SizeText(CSize size) {
    return std::to_string(size.cx) + " x " + std::to_string(size.cy);
}

SkinError Problem(SkinProblem category, std::string where, std::string description) {
    return SkinError{category, std::move(where), std::move(description)};
}

// Whether the pixels of a mask can all be read (no compression, every
// palette index inside the table), and where the "Change skin" key lies.
struct MaskScan {
    bool readable = true;
    std::vector<std::uint32_t> changeSkinPixels; // y * width + x
};

MaskScan ScanMask(const CDib& mask, std::uint32_t changeSkinKey) {
    MaskScan scan;
    const CSize size = mask.GetSize();
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            std::uint32_t rgb = 0;
            if (!mask.GetPixelRgb(x, y, &rgb)) {
                scan.readable = false;
                return scan;
            }
            if (rgb == changeSkinKey) {
                scan.changeSkinPixels.push_back(static_cast<std::uint32_t>(y * size.cx + x));
            }
        }
    }
    return scan;
}

std::optional<SkinError> Check(const IResourceModule& module) {
    std::array<CDib, kBitmaps.size()> dibs;
    std::uint64_t decoded = 0;
    for (std::size_t i = 0; i < kBitmaps.size(); ++i) {
        const std::string name = kBitmaps[i];
        const bool required = name == "SKINBASE" || name == "SKINMASK";
        auto bytes = module.FindBitmap(name);
        if (!bytes) {
            if (required) {
                return Problem(SkinProblem::MissingBitmap, name, "it has no " + name + " bitmap");
            }
            continue;
        }
        if (bytes->empty()) {
            if (required) {
                return Problem(SkinProblem::EmptyBitmap, name, "its " + name + " bitmap is empty");
            }
            continue;
        }
        // A bitmap that does not attach is left empty by the loader; only
        // the two that make the window must be readable.
        if (!dibs[i].AttachPacked(*bytes)) {
            if (required) {
                return Problem(SkinProblem::UnreadableBitmap, name,
                               "its " + name + " bitmap cannot be read");
            }
            continue;
        }
        const CSize size = dibs[i].GetSize();
        if (size.cx > kMaxSkinBitmapSide || size.cy > kMaxSkinBitmapSide) {
            return Problem(SkinProblem::TooLarge, name,
                           "its " + name + " bitmap is " + SizeText(size) +
                               " pixels; a skin bitmap may be at most " +
                               SizeText({kMaxSkinBitmapSide, kMaxSkinBitmapSide}));
        }
        // Run-length pixels are never decoded here: the face would be black
        // and the mask would shape nothing.
        if (required && dibs[i].IsCompressed()) {
            return Problem(SkinProblem::UnreadableBitmap, name,
                           "its " + name + " bitmap is compressed, which skins cannot be");
        }
        decoded += std::uint64_t{4} * static_cast<std::uint64_t>(size.cx) *
                   static_cast<std::uint64_t>(size.cy);
        if (decoded > kMaxSkinDecodedBytes) {
            return Problem(SkinProblem::TooMuchPixelData, name,
                           "its bitmaps together hold more than " +
                               std::to_string(kMaxSkinDecodedBytes >> 20) + " MB of pixels");
        }
    }

    const CDib& base = dibs[0];
    const CDib& mask = dibs[3];
    const CDib& mask2 = dibs[4];
    for (const CDib* m : {&mask, &mask2}) {
        if (!m->IsEmpty() && m->GetSize() != base.GetSize()) {
            const std::string name = m == &mask ? "SKINMASK" : "SKINMASK2";
            return Problem(SkinProblem::SizeMismatch, name,
                           "its " + name + " bitmap is " + SizeText(m->GetSize()) +
                               " pixels but SKINBASE is " + SizeText(base.GetSize()));
        }
    }

    // The way to another skin must stay reachable: the "Change skin" control
    // has to be in the mask, and some of it outside every hideable panel.
    const std::uint32_t changeSkinKey = ButtonColorKey(kChangeSkinId).value_or(0);
    MaskScan scan = ScanMask(mask, changeSkinKey);
    if (!scan.readable) {
        return Problem(SkinProblem::UnreadableBitmap, "SKINMASK",
                       "its SKINMASK bitmap cannot be read");
    }
    if (scan.changeSkinPixels.empty()) {
        return Problem(SkinProblem::NoChangeSkin, "SKINMASK",
                       "its mask has no \"Change skin\" control, so no other skin could be "
                       "chosen afterwards");
    }
    if (!mask2.IsEmpty()) {
        const MaskIndex panels = MaskIndex::Build(mask2);
        if (panels.IsValid()) {
            Region hideable = panels.RegionOf(kRecorderPanelKey, kMaskKeyPixels)
                                  .Union(panels.RegionOf(kPlaylistPanelKey, kMaskKeyPixels))
                                  .Union(panels.RegionOf(kEqualizerPanelKey, kMaskKeyPixels));
            const int width = base.GetSize().cx;
            bool reachable = false;
            for (std::uint32_t at : scan.changeSkinPixels) {
                if (!hideable.Contains(static_cast<int>(at % static_cast<std::uint32_t>(width)),
                                       static_cast<int>(at / static_cast<std::uint32_t>(width)))) {
                    reachable = true;
                    break;
                }
            }
            if (!reachable) {
                return Problem(SkinProblem::ChangeSkinHidden, "SKINMASK2",
                               "its \"Change skin\" control lies only inside panels that can be "
                               "hidden");
            }
        }
    }
    return std::nullopt;
}

SkinError OutOfMemory() {
    return Problem(SkinProblem::OutOfMemory, {}, "there is not enough memory to load it");
}

SkinError CannotOpen() {
    return Problem(SkinProblem::CannotOpen, {}, "it cannot be read as a skin package");
}

} // namespace

std::optional<SkinError> CheckSkinResources(const IResourceModule& module) {
    try {
        return Check(module);
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

std::optional<SkinError> CheckSkinPackage(const std::string& path) {
    try {
        std::error_code error;
        if (!std::filesystem::exists(path, error)) {
            return Problem(SkinProblem::NotFound, {}, "the file is not there");
        }
        auto library = CPeResourceLibrary::Open(path);
        if (!library) {
            return CannotOpen();
        }
        return Check(*library);
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

std::optional<SkinError> CheckSkinPackageBytes(std::span<const std::uint8_t> bytes) {
    try {
        auto library = CPeResourceLibrary::FromBytes({bytes.begin(), bytes.end()});
        if (!library) {
            return CannotOpen();
        }
        return Check(*library);
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

} // namespace mixora
