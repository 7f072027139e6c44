#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace mixora {

// Writes `bytes` to a temporary file in the target's folder, flushes it to
// disk and renames it over `path`, so that a crash or a full disk leaves
// either the old file or the new one, never half of one. Returns false (and
// leaves the old file untouched) on any failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Creates `dir` and its missing parents (mode 0700 for new folders).
bool MakeDirectories(const std::string& dir);

} // namespace mixora
