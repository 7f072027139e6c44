#pragma once
#include <string>

namespace mixora {

// One line of the playlist: a file path (or CD track name) and its length,
// in seconds for files and as a packed minutes/seconds/frames value for CD
// tracks.
struct PlaylistEntry {
    std::string path;
    double length = 0.0;
};

} // namespace mixora
