#include "skin/string_table.h"

#include <string_view>

#include "skin/resource_source.h"

namespace mixora {

std::string LoadProgramString(const IResourceModule& resources, int id) {
    auto table = resources.FindResource("STRINGS", ResourceName::Id(1));
    if (!table) {
        return {};
    }
    const std::string_view text(reinterpret_cast<const char*>(table->data()), table->size());
    const std::string key = std::to_string(id) + "=";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.substr(0, key.size()) == key) {
            return std::string(line.substr(key.size()));
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return {};
}

} // namespace mixora
