#pragma once
// Lists of media written by other players: M3U (plain or extended, also as
// .m3u8) and PLS. Their entries may be relative to the list's own folder;
// comments, blank lines and network addresses are skipped, since a list
// entry here must be something the playlist can measure and play.
#include <string>
#include <string_view>
#include <vector>

namespace mixora {

enum class ListFormat { None, Pla, M3u, Pls };

// The kind of list a path names, by its extension (any case).
ListFormat ListFormatOf(std::string_view path);

// The paths of an M3U list in order. `folder` is the list's folder (no
// trailing slash); relative entries are taken from there, file:// URIs are
// turned into paths.
std::vector<std::string> ParseM3u(std::string_view bytes, std::string_view folder);
// The FileN= paths of a PLS list, in the order of N.
std::vector<std::string> ParsePls(std::string_view bytes, std::string_view folder);

// A file:// URI's path with its %XX escapes decoded; empty when `uri` is
// no local file URI.
std::string LocalPathFromUri(std::string_view uri);
// True for "scheme://..." other than file://.
bool IsRemoteUri(std::string_view text);

} // namespace mixora
