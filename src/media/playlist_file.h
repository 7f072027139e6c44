#pragma once
// The playlist file (*.pla): every path's bytes followed by one zero byte,
// nothing else. And the texts that tell the user why a file failed.
#include <string>
#include <string_view>
#include <vector>

#include "media/playlist_entry.h"
#include "platform/file_store.h"

namespace mixora {

// The longest path an entry may hold (the Linux path limit). Longer entries
// are skipped on reading; the writer never meets them, because no such
// file can be opened and measured.
inline constexpr std::size_t kMaxPlaylistEntryBytes = 4096;

std::string SerializePlaylist(const std::vector<PlaylistEntry>& entries);
// The paths of a playlist file in order; bytes after the last zero byte are
// an unfinished entry and ignored; entries longer than the limit are skipped.
std::vector<std::string> ParsePlaylist(std::string_view bytes);

// "Access to /x.pla was denied." and the like.
std::string FileErrorText(FileError error, const std::string& path);

} // namespace mixora
