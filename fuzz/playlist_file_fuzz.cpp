// The playlist file: whatever is read, written out and read again, gives the
// same list, and writing that list again gives the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "media/playlist_file.h"

using namespace mixora;

namespace {

std::vector<PlaylistEntry> Entries(const std::vector<std::string>& paths) {
    std::vector<PlaylistEntry> entries;
    for (const std::string& p : paths) {
        if (p.find('\0') != std::string::npos || p.size() > kMaxPlaylistEntryBytes) {
            std::abort();
        }
        entries.push_back({p, 0.0});
    }
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> first = ParsePlaylist(bytes);
    const std::string written = SerializePlaylist(Entries(first));
    const std::vector<std::string> again = ParsePlaylist(written);
    if (again != first || SerializePlaylist(Entries(again)) != written) {
        std::abort();
    }
    return 0;
}
