#include "skin/resource_source.h"

#include "skin/pe_resources.h"

namespace mixora {

bool ResourceNameEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    auto upper = [](unsigned char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(static_cast<unsigned char>(a[i])) != upper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

CSkinSource::CSkinSource(std::unique_ptr<CPeResourceLibrary> package,
                         const IResourceModule& programResources)
    : package_(std::move(package)), programResources_(&programResources) {}

CSkinSource::CSkinSource(CSkinSource&&) noexcept = default;
CSkinSource& CSkinSource::operator=(CSkinSource&&) noexcept = default;
CSkinSource::~CSkinSource() = default;

const IResourceModule& CSkinSource::Module() const {
    if (package_) {
        return *package_;
    }
    return *programResources_;
}

CSkinSource OpenSkinSource(const std::string& skinFile, const IResourceModule& programResources) {
    std::unique_ptr<CPeResourceLibrary> package;
    if (!skinFile.empty()) {
        package = CPeResourceLibrary::Open(skinFile);
        // Without its face and its mask a library cannot draw or shape the
        // window; treat it like one that did not open.
        if (package && (!package->FindBitmap("SKINBASE") || !package->FindBitmap("SKINMASK"))) {
            package.reset();
        }
    }
    return CSkinSource(std::move(package), programResources);
}

} // namespace mixora
