#include "app/playlist_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace mixora {
namespace {

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The whole, non-negative part of a length; a broken value (negative,
// NaN, beyond any real duration) counts as nothing rather than being
// converted with undefined results.
std::uint32_t WholePart(double length) {
    if (!(length >= 0.0) || length >= 4294967296.0) {
        return 0;
    }
    return static_cast<std::uint32_t>(std::trunc(length));
}

} // namespace

std::string FileNameOf(const std::string& path) {
    std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool HasPackedCdLength(const PlaylistEntry& entry) {
    // The CD device's track names end in ".cda" (case as written); tracks
    // addressed by URI come from the same device.
    return StartsWith(entry.path, "cdda://") || EndsWith(entry.path, ".cda");
}

std::string FormatLengthText(double length, bool packedCdTime) {
    const std::uint32_t whole = WholePart(length);
    std::uint32_t minutes = 0;
    std::uint32_t seconds = 0;
    if (packedCdTime) {
        minutes = whole & 0xFF;
        seconds = (whole >> 8) & 0xFF;
    } else {
        minutes = whole / 60;
        seconds = whole % 60;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%u%u:%u%u", minutes / 10, minutes % 10, seconds / 10,
                  seconds % 10);
    return text;
}

std::string FormatLengthText(const PlaylistEntry& entry) {
    return FormatLengthText(entry.length, HasPackedCdLength(entry));
}

} // namespace mixora
