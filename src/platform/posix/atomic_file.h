#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace mixora {

// Writes `bytes` to a temporary file in the target's folder, flushes it to
// disk and renames it over `path`, so that a crash or a full disk leaves
// either the old file or the new one, never half of one. When `path` is a
// symbolic link, the file it leads to is the one replaced (in its own
// folder) and the link stays. Returns false (and leaves the old file
// untouched, and no temporary file behind) on any failure, with the reason
// in `error` when given.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// The file a chain of symbolic links at `path` ends at (`path` itself when
// it is none); the end need not exist yet.
std::string ResolveLinks(const std::string& path);

// Removes temporary files that WriteFileAtomically left beside `path` when
// the program was killed while writing, once they are older than
// `minAgeSeconds` (a younger one may belong to a program still writing).
// Returns how many were removed.
int RemoveStaleTemporaries(const std::string& path, int minAgeSeconds = 60);

// The whole file, or nothing when it cannot be opened or read (then `error`,
// when given, says why).
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error = nullptr);

// Creates `dir` and its missing parents (mode 0700 for new folders).
bool MakeDirectories(const std::string& dir);

} // namespace mixora
