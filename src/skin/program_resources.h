#pragma once
// The program's own resources: the base skin, its description and the
// language tables, compiled into the binary. They live as long as the
// process, so the bytes they hand out never go stale.
#include <span>

#include "skin/embedded_resources.h"
#include "skin/resource_source.h"

namespace mixora {

class CProgramResources : public IResourceModule {
public:
    // Over the table the build embedded.
    CProgramResources();
    // Over any table of the same shape (tests).
    explicit CProgramResources(std::span<const EmbeddedResource> table) : table_(table) {}

    // Bitmaps are kept as .bmp files; this hands out the packed DIB behind
    // the 14-byte file header. A file too short or not starting with "BM" is
    // not found.
    std::optional<std::span<const std::uint8_t>> FindBitmap(std::string_view name) const override;
    std::optional<std::span<const std::uint8_t>>
    FindResource(std::string_view type, const ResourceName& name) const override;

private:
    std::span<const EmbeddedResource> table_;
};

} // namespace mixora
