#include "skin/skin_packages.h"

#include <algorithm>
#include <filesystem>

#include "skin/pe_resources.h"
#include "skin/resource_source.h"

namespace mixora {

std::vector<SkinPackage> ListSkinPackages(const std::string& programDir) {
    namespace fs = std::filesystem;
    std::vector<SkinPackage> packages;
    std::error_code error;
    fs::directory_iterator it(programDir, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path& file = it->path();
        if (!ResourceNameEquals(file.extension().string(), ".dll")) {
            continue;
        }
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        const std::string name = file.filename().string();
        packages.push_back(SkinPackage{file.stem().string(), programDir + "/" + name});
    }
    return packages;
}

std::vector<SkinPackage> ListOpenableSkinPackages(const std::string& programDir) {
    std::vector<SkinPackage> packages = ListSkinPackages(programDir);
    std::erase_if(packages,
                  [](const SkinPackage& p) { return CPeResourceLibrary::Open(p.path) == nullptr; });
    return packages;
}

std::vector<SkinPackage> ListOpenableSkinPackages(const std::vector<std::string>& folders) {
    std::vector<SkinPackage> all;
    for (const std::string& folder : folders) {
        for (SkinPackage& p : ListOpenableSkinPackages(folder)) {
            const bool seen = std::any_of(all.begin(), all.end(), [&p](const SkinPackage& q) {
                return ResourceNameEquals(q.title, p.title);
            });
            if (!seen) {
                all.push_back(std::move(p));
            }
        }
    }
    return all;
}

} // namespace mixora
