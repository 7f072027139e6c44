#pragma once
#include "platform/file_store.h"

namespace mixora {

// Files on the local file system; errno picks the error class.
class PosixFileStore final : public IFileStore {
public:
    FileError ReadAll(const std::string& path, std::string& bytes) override;
    FileError WriteAtomically(const std::string& path, std::string_view bytes) override;
};

// The error class of an errno value.
FileError FileErrorFromErrno(int error);

} // namespace mixora
