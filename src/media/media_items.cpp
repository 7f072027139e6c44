#include "media/media_items.h"

#include <algorithm>

#include "media/playlist_file.h"
#include "media/playlist_lists.h"
#include "platform/file_store.h"
#include "platform/folder_reader.h"

namespace mixora {
namespace {

// Deep enough for any music collection, shallow enough that a link that
// loops back to its own folder ends.
constexpr int kMaxFolderDepth = 16;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

void AddListEntries(const std::string& path, ListFormat format, IFileStore& files,
                    std::vector<std::string>& out) {
    std::string bytes;
    if (files.ReadAll(path, bytes) != FileError::None) {
        return;
    }
    std::vector<std::string> entries;
    if (format == ListFormat::Pla) {
        entries = ParsePlaylist(bytes);
    } else if (format == ListFormat::M3u) {
        entries = ParseM3u(bytes, FolderOf(path));
    } else {
        entries = ParsePls(bytes, FolderOf(path));
    }
    out.insert(out.end(), std::make_move_iterator(entries.begin()),
               std::make_move_iterator(entries.end()));
}

void WalkFolder(const std::string& folder, int depth, IFolderReader& folders,
                std::vector<std::string>& out) {
    if (depth > kMaxFolderDepth) {
        return;
    }
    std::vector<std::string> names = folders.Names(folder);
    std::sort(names.begin(), names.end());
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    for (const std::string& name : names) {
        if (name.starts_with('.')) {
            continue;
        }
        const std::string path = prefix + name;
        const PathKind kind = folders.KindOf(path);
        if (kind == PathKind::Folder) {
            WalkFolder(path, depth + 1, folders, out);
        } else if (kind == PathKind::File && ListFormatOf(name) == ListFormat::None) {
            // A list beside its files would add them twice.
            out.push_back(path);
        }
    }
}

} // namespace

std::vector<std::string> ExpandMediaItems(const std::vector<std::string>& items,
                                          IFolderReader& folders, IFileStore& files) {
    std::vector<std::string> out;
    for (const std::string& item : items) {
        if (IsRemoteUri(item)) {
            out.push_back(item);
            continue;
        }
        std::string path = item.starts_with("file:") ? LocalPathFromUri(item) : item;
        if (path.empty()) {
            continue;
        }
        if (folders.KindOf(path) == PathKind::Folder) {
            WalkFolder(path, 0, folders, out);
        } else if (const ListFormat format = ListFormatOf(path); format != ListFormat::None) {
            AddListEntries(path, format, files, out);
        } else {
            out.push_back(std::move(path));
        }
    }
    return out;
}

} // namespace mixora
