#pragma once
// Where skin resources are read from: the program's own embedded resources or
// a skin package. Everything above this layer only asks for a bitmap by name
// or a custom resource by type and name/id, like the resource calls of the
// platform the skins were made for.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mixora {

// A resource name: a string, or an integer id when `id` >= 0.
struct ResourceName {
    std::string name;
    int id = -1;

    static ResourceName Id(int value) { return ResourceName{{}, value}; }
    static ResourceName Named(std::string value) { return ResourceName{std::move(value), -1}; }
    bool IsId() const { return id >= 0; }
};

// Names and types match case-insensitively, as resource names always have.
// The returned bytes belong to the module and stay valid as long as it lives;
// they are never copied. Lookups do not modify the module and never throw.
class IResourceModule {
public:
    virtual ~IResourceModule() = default;

    // The RT_BITMAP resource `name` as a packed DIB (info header, colour
    // table, pixels), without a file header.
    virtual std::optional<std::span<const std::uint8_t>>
    FindBitmap(std::string_view name) const = 0;

    // A resource of a custom type (e.g. "SKININFO" id 134, "LANG" id 159).
    virtual std::optional<std::span<const std::uint8_t>>
    FindResource(std::string_view type, const ResourceName& name) const = 0;
};

class CPeResourceLibrary;

// The resource source of one read: the selected skin package when it opens
// and really is a skin, else the program's own resources. A package is held
// only as long as this object lives, so the bytes found through `Module()`
// are valid until it is destroyed; nothing of a package stays loaded between
// reads. `programResources` must outlive it.
class CSkinSource {
public:
    CSkinSource(CSkinSource&&) noexcept;
    CSkinSource& operator=(CSkinSource&&) noexcept;
    ~CSkinSource();

    const IResourceModule& Module() const;
    // True when the package is the source (and not the fallback).
    bool IsPackage() const { return package_ != nullptr; }

private:
    friend CSkinSource OpenSkinSource(const std::string&, const IResourceModule&);
    CSkinSource(std::unique_ptr<CPeResourceLibrary> package,
                const IResourceModule& programResources);

    std::unique_ptr<CPeResourceLibrary> package_;
    const IResourceModule* programResources_;
};

// Opens `skinFile` (empty: the base skin). A package that cannot be read, is
// no resource library, or lacks either "SKINBASE" or "SKINMASK" counts as one
// that cannot be opened: the program's own resources are used instead, so
// picking a library that is not a skin never leaves an empty window.
CSkinSource OpenSkinSource(const std::string& skinFile, const IResourceModule& programResources);

// ASCII case-insensitive equality, the comparison resource names use.
bool ResourceNameEquals(std::string_view a, std::string_view b);

} // namespace mixora
