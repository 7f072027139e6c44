#pragma once
// What a folder holds, for the files a person hands the program by naming
// or dropping a folder. Called on the UI thread; blocks for as long as the
// file system takes to answer.
#include <string>
#include <vector>

namespace mixora {

enum class PathKind { Missing, File, Folder };

class IFolderReader {
public:
    virtual ~IFolderReader() = default;
    // What `path` names, following symbolic links.
    virtual PathKind KindOf(const std::string& path) = 0;
    // The names in `folder` (without "." and ".."), in no particular order;
    // empty when it cannot be read.
    virtual std::vector<std::string> Names(const std::string& folder) = 0;
};

} // namespace mixora
