#pragma once
// The table of resources compiled into the program from resources/. The
// build generates it (cmake/EmbedResources.cmake); the bytes are the files as
// they are, a bitmap being a whole .bmp file.
#include <cstddef>

namespace mixora {

struct EmbeddedResource {
    const char* type; // custom type ("SKININFO", "LANG"); nullptr for a bitmap
    const char* name; // the resource name, or nullptr when it has an integer id
    int id;           // the integer id when `name` is nullptr
    const unsigned char* begin;
    const unsigned char* end;
};

// `kEmbeddedResourceCount` entries; the array always has one more, unused,
// so that it exists even when nothing is embedded.
extern const EmbeddedResource kEmbeddedResources[];
extern const std::size_t kEmbeddedResourceCount;

} // namespace mixora
