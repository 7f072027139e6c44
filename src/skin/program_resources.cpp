#include "skin/program_resources.h"

namespace mixora {

namespace {

constexpr std::size_t kBitmapFileHeaderSize = 14;

std::span<const std::uint8_t> BytesOf(const EmbeddedResource& resource) {
    return {resource.begin, resource.end};
}

} // namespace

CProgramResources::CProgramResources() : table_(kEmbeddedResources, kEmbeddedResourceCount) {}

std::optional<std::span<const std::uint8_t>>
CProgramResources::FindBitmap(std::string_view name) const {
    for (const EmbeddedResource& resource : table_) {
        if (resource.type != nullptr || resource.name == nullptr ||
            !ResourceNameEquals(resource.name, name)) {
            continue;
        }
        const auto file = BytesOf(resource);
        if (file.size() < kBitmapFileHeaderSize || file[0] != 'B' || file[1] != 'M') {
            return std::nullopt;
        }
        return file.subspan(kBitmapFileHeaderSize);
    }
    return std::nullopt;
}

std::optional<std::span<const std::uint8_t>>
CProgramResources::FindResource(std::string_view type, const ResourceName& name) const {
    for (const EmbeddedResource& resource : table_) {
        if (resource.type == nullptr || !ResourceNameEquals(resource.type, type)) {
            continue;
        }
        const bool matches = name.IsId() ? (resource.name == nullptr && resource.id == name.id)
                                         : (resource.name != nullptr &&
                                            ResourceNameEquals(resource.name, name.name));
        if (matches) {
            return BytesOf(resource);
        }
    }
    return std::nullopt;
}

} // namespace mixora
