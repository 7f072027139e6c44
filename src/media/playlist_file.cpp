#include "media/playlist_file.h"

namespace mixora {

std::string SerializePlaylist(const std::vector<PlaylistEntry>& entries) {
    std::string out;
    for (const PlaylistEntry& e : entries) {
        out += e.path;
        out.push_back('\0');
    }
    return out;
}

std::vector<std::string> ParsePlaylist(std::string_view bytes) {
    std::vector<std::string> paths;
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\0'); end != std::string_view::npos;
         end = bytes.find('\0', start)) {
        if (end - start <= kMaxPlaylistEntryBytes) {
            paths.emplace_back(bytes.substr(start, end - start));
        }
        start = end + 1;
    }
    return paths;
}

std::string FileErrorText(FileError error, const std::string& path) {
    switch (error) {
    case FileError::NotFound:
        return path + " was not found.";
    case FileError::AccessDenied:
        return "Access to " + path + " was denied.";
    case FileError::DiskFull:
        return "Disk full while accessing " + path + ".";
    case FileError::SharingViolation:
        return "A sharing violation occurred while accessing " + path + ".";
    default:
        return "An unexpected error occurred while accessing " + path + ".";
    }
}

} // namespace mixora
