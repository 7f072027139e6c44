#pragma once
#include <map>
#include <memory>

#include "platform/private_profile.h"

namespace mixora {

class IniDocument;

// Private-profile operations on real files. A file is read once and kept in
// memory for as long as it stays the same on disk (same inode, size and
// change time), so the ten keys of the settings cost one read, and the user
// may still edit it between runs. Every write replaces the file atomically
// through any symbolic link; a batch of keys is one replacement. The first
// read of a file also removes temporary files that an earlier run left
// behind when it was killed while writing.
class PrivateProfileFile final : public IPrivateProfile {
public:
    PrivateProfileFile();
    ~PrivateProfileFile() override;

    int GetInt(const std::string& section, const std::string& key, int def,
               const std::string& path) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, std::size_t bufferSize,
                          const std::string& path) override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override;
    bool WriteStrings(const std::vector<ProfileEntry>& entries, const std::string& path,
                      std::string* error) override;

private:
    struct Cached;
    // The document of `path` as it is on disk now; null when the file exists
    // but cannot be read (`error` says why). A missing file is an empty one.
    Cached* Load(const std::string& path, std::string* error);

    std::map<std::string, std::unique_ptr<Cached>> files_;
};

} // namespace mixora
