// A skin package file: parse its resource tree, then fetch every resource it
// lists and the bitmaps and texts a skin load asks for.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "skin/pe_resources.h"

using namespace mixora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto library = CPeResourceLibrary::FromBytes(std::vector<std::uint8_t>(data, data + size));
    if (!library) {
        return 0;
    }
    for (const auto& entry : library->Entries()) {
        if (static_cast<std::uint64_t>(entry.offset) + entry.size > size) {
            std::abort(); // an entry must lie inside the file
        }
        const std::string type =
            entry.type.IsId() ? "#" + std::to_string(entry.type.id) : entry.type.name;
        library->FindResource(type, entry.name);
    }
    for (const char* name : {"SKINBASE", "SKINMASK", "SKINDOWN", "SKINFOCUS", "PLAYSTS"}) {
        if (auto bitmap = library->FindBitmap(name)) {
            volatile std::uint8_t sink = 0;
            for (std::uint8_t b : *bitmap) {
                sink = sink ^ b;
            }
        }
    }
    library->FindResource("SKININFO", ResourceName::Id(134));
    library->FindResource("LANG", ResourceName::Named("159"));
    return 0;
}
