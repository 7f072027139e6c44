#pragma once
// A Windows resource library (a skin package) read purely as data: the file
// is parsed as a PE32 or PE32+ image and only its resource tree is used. No
// code in it is ever loaded or run. Every offset, count and size comes from
// outside and is checked against the bytes really there; a damaged tree
// loses the resources it damages, nothing more.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "skin/resource_source.h"

namespace mixora {

class CPeResourceLibrary : public IResourceModule {
public:
    // Reads the whole file into memory. nullptr when it cannot be read, is
    // not a PE32/PE32+ image, or has no readable resource directory.
    static std::unique_ptr<CPeResourceLibrary> Open(const std::string& path);
    static std::unique_ptr<CPeResourceLibrary> FromBytes(std::vector<std::uint8_t> bytes);

    std::optional<std::span<const std::uint8_t>> FindBitmap(std::string_view name) const override;
    std::optional<std::span<const std::uint8_t>>
    FindResource(std::string_view type, const ResourceName& name) const override;

    // One resource of the tree, in the order the tree lists them; the first
    // language of each name is the one kept.
    struct Entry {
        ResourceName type;
        ResourceName name;
        std::uint32_t offset = 0; // file offset of the data
        std::uint32_t size = 0;
    };
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    struct ConstructionTag {
        explicit ConstructionTag() = default;
    };

public:
    // Public only for std::make_unique; the tag keeps it to the factories.
    CPeResourceLibrary(ConstructionTag, std::vector<std::uint8_t> bytes)
        : bytes_(std::move(bytes)) {}

private:
    std::optional<std::span<const std::uint8_t>> Find(const ResourceName& type,
                                                      const ResourceName& name) const;

    std::vector<std::uint8_t> bytes_;
    std::vector<Entry> entries_;

    friend class PeImageParser;
};

} // namespace mixora
