#pragma once
// The words of the window's texts: a path's file name and a playlist
// entry's length as shown in the time column.
#include <string>

#include "media/playlist_entry.h"

namespace mixora {

// The part of `path` after its last '/' or '\' (the whole path when it has
// neither).
std::string FileNameOf(const std::string& path);

// Whether the entry is an audio-CD track played through the CD device, so
// its length is a packed minutes (bits 0-7) / seconds (bits 8-15) time
// rather than seconds. Such entries are the "cdda://" tracks and the
// ".cda" track names.
bool HasPackedCdLength(const PlaylistEntry& entry);

// The length column's text: tens and units of the minutes, a colon, tens
// and units of the seconds ("04:05"); minutes above 99 widen the tens
// ("125:00"). `packedCdTime` picks the CD device's packed encoding over
// seconds. Lengths that are negative or not a number show as 00:00.
std::string FormatLengthText(double length, bool packedCdTime);
std::string FormatLengthText(const PlaylistEntry& entry);

} // namespace mixora
