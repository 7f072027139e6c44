#include "platform/posix/posix_folder_reader.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace mixora {

PathKind PosixFolderReader::KindOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return PathKind::Missing;
    }
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::File;
}

std::vector<std::string> PosixFolderReader::Names(const std::string& folder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) {
        return names;
    }
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    return names;
}

} // namespace mixora
