// The registry file: whatever parses, written out and parsed again, gives the
// same keys and values.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/posix/registry_store.h"

using namespace mixora;

namespace {

bool Same(const std::vector<RegistryKey>& a, const std::vector<RegistryKey>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (a[k].path != b[k].path || a[k].values.size() != b[k].values.size()) {
            return false;
        }
        for (std::size_t v = 0; v < a[k].values.size(); ++v) {
            const RegistryValue& x = a[k].values[v];
            const RegistryValue& y = b[k].values[v];
            if (x.name != y.name || x.type != y.type || x.data != y.data) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto keys = ParseRegistryText(text);
    if (!keys) {
        return 0;
    }
    const std::string written = FormatRegistryText(*keys);
    auto again = ParseRegistryText(written);
    if (!again || !Same(*keys, *again)) {
        std::abort();
    }
    return 0;
}
