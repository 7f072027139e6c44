#pragma once
// The length of a media file, as quickly as it can be known truthfully.
#include <string>

namespace mixora {

// Length in seconds of the media at `path` (bytes of a local path), or 0.0
// when GStreamer cannot play it. Reads the length from the file's headers
// where the format is one TagLib knows and a GStreamer decoder for it is
// installed (well under a millisecond); otherwise lets GStreamer look into
// the file. Names ending in ".cda" are CD tracks, which this player does not
// play: 0.0. Safe to call from several threads at once; remembers nothing
// about files between calls.
double MeasureMediaLength(const std::string& path);

} // namespace mixora
