#pragma once
// Whole files read and written by path, for the documents the user names
// (playlists). Writes replace the target only once the new bytes are safely
// on disk, so a failed write never costs the old file.
#include <string>
#include <string_view>

namespace mixora {

// Why a file operation failed, in the classes the user is told about.
enum class FileError { None, NotFound, AccessDenied, DiskFull, SharingViolation, Other };

class IFileStore {
public:
    virtual ~IFileStore() = default;
    // Reads the whole file into `bytes` (left alone on failure).
    virtual FileError ReadAll(const std::string& path, std::string& bytes) = 0;
    // Writes `bytes` to a temporary file in the target's folder and renames
    // it over `path`.
    virtual FileError WriteAtomically(const std::string& path, std::string_view bytes) = 0;
};

} // namespace mixora
