#pragma once
// The title, artist and album a media file's tags name, for the desktop's
// sound applets. Plain strings so the program can take them across the
// media module's boundary.
#include <string>

namespace mixora {

struct MediaTags {
    std::string title;
    std::string artist;
    std::string album;
};

// Reads the tags of a local file (UTF-8); false, with `tags` empty, when the
// file has none or cannot be read. Touches only the file's tag blocks.
bool ReadMediaTags(const std::string& path, MediaTags& tags);

// The media module's entry point for ReadMediaTags.
using ReadMediaTagsFn = bool (*)(const char* path, MediaTags* tags);
inline constexpr const char* kMediaTagsEntry = "mixora_read_media_tags";

} // namespace mixora
