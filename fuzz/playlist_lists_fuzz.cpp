// M3U and PLS lists from other players: any bytes give a list of entries,
// each of them absolute and free of zero bytes (a path a saved playlist can
// hold; an escaped line break is a legal name), never more entries than
// lines.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "media/playlist_lists.h"

using namespace mixora;

namespace {

void Check(const std::vector<std::string>& paths, std::string_view bytes) {
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    if (paths.size() > lines) {
        std::abort();
    }
    for (const std::string& p : paths) {
        if (p.empty() || p.front() != '/' || p.find('\0') != std::string::npos) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(ParseM3u(bytes, "/lists"), bytes);
    Check(ParsePls(bytes, "/lists"), bytes);
    (void)LocalPathFromUri(bytes);
    (void)ListFormatOf(bytes);
    return 0;
}
