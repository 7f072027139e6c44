#pragma once
#include "platform/private_profile.h"

namespace mixora {

// Private-profile operations on real files. Every call reads the file anew
// (it is small, and the user may edit it between runs); every write replaces
// it atomically.
class PrivateProfileFile final : public IPrivateProfile {
public:
    int GetInt(const std::string& section, const std::string& key, int def,
               const std::string& path) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, std::size_t bufferSize,
                          const std::string& path) override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override;
};

} // namespace mixora
