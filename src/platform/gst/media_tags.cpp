#include "platform/gst/media_tags.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>

namespace mixora {

bool ReadMediaTags(const std::string& path, MediaTags& tags) {
    tags = {};
    // No audio properties: only the tag blocks are read, not the stream.
    TagLib::FileRef ref(path.c_str(), false);
    if (ref.isNull() || !ref.tag()) {
        return false;
    }
    const TagLib::Tag& tag = *ref.tag();
    tags.title = tag.title().to8Bit(true);
    tags.artist = tag.artist().to8Bit(true);
    tags.album = tag.album().to8Bit(true);
    return !tags.title.empty() || !tags.artist.empty() || !tags.album.empty();
}

} // namespace mixora
