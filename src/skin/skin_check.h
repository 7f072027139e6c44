#pragma once
// Whether a skin package can be used, decided before anything of it is
// loaded: a package that would leave no window, an unusable window or no
// way back to another skin is refused with a reason, and the program keeps
// the skin it has. The checks read headers and scan the mask once; they never
// allocate in proportion to what a header claims.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace mixora {

class IResourceModule;

// Every skin bitmap is at most this many pixels wide and high.
inline constexpr int kMaxSkinBitmapSide = 4096;
// All bitmaps of one skin together, decoded at 4 bytes a pixel: room for the
// five face-sized bitmaps at the largest size and the small strips.
inline constexpr std::uint64_t kMaxSkinDecodedBytes = 6ull * 4096 * 4096 * 4;

enum class SkinProblem {
    NotFound,         // no file at that path
    CannotOpen,       // not a resource library, or unreadable
    MissingBitmap,    // SKINBASE or SKINMASK absent
    EmptyBitmap,      // present with no bytes
    UnreadableBitmap, // bytes that are no bitmap this program can draw
    TooLarge,         // wider or higher than kMaxSkinBitmapSide
    SizeMismatch,     // a mask not the size of SKINBASE
    TooMuchPixelData, // all bitmaps together beyond kMaxSkinDecodedBytes
    NoChangeSkin,     // no "Change skin" control in SKINMASK
    ChangeSkinHidden, // "Change skin" only inside panels that can be hidden
    OutOfMemory,      // allocation failed while checking or loading
};

struct SkinError {
    SkinProblem category = SkinProblem::CannotOpen;
    std::string where;       // the resource concerned ("SKINMASK"), or empty
    std::string description; // for the user: completes "cannot be used: ..."
};

// The checks on the resources of an opened package (or the program's own).
std::optional<SkinError> CheckSkinResources(const IResourceModule& module);
// Opens the package at `path` and checks it.
std::optional<SkinError> CheckSkinPackage(const std::string& path);
// The same on a package image in memory (what a fuzz target feeds).
std::optional<SkinError> CheckSkinPackageBytes(std::span<const std::uint8_t> bytes);

} // namespace mixora
