#pragma once
#include "platform/folder_reader.h"

namespace mixora {

// Folders of the local file system, read with opendir/readdir.
class PosixFolderReader final : public IFolderReader {
public:
    PathKind KindOf(const std::string& path) override;
    std::vector<std::string> Names(const std::string& folder) override;
};

} // namespace mixora
