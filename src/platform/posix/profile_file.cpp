#include "platform/posix/profile_file.h"

#include <cerrno>
#include <sys/stat.h>

#include "platform/posix/atomic_file.h"
#include "platform/posix/ini_document.h"

namespace mixora {
namespace {

std::optional<std::string> Lookup(const std::string& section, const std::string& key,
                                  const std::string& path) {
    auto text = ReadWholeFile(path);
    if (!text) {
        return std::nullopt;
    }
    return IniDocument::Parse(*text).Get(section, key);
}

} // namespace

int PrivateProfileFile::GetInt(const std::string& section, const std::string& key, int def,
                               const std::string& path) {
    auto value = Lookup(section, key, path);
    if (!value || value->empty()) {
        return def;
    }
    return ParseProfileInt(*value);
}

std::string PrivateProfileFile::GetString(const std::string& section, const std::string& key,
                                          const std::string& def, std::size_t bufferSize,
                                          const std::string& path) {
    std::string value = Lookup(section, key, path).value_or(def);
    std::size_t room = bufferSize == 0 ? 0 : bufferSize - 1;
    if (value.size() > room) {
        value.resize(room);
    }
    return value;
}

bool PrivateProfileFile::WriteString(const std::string& section, const std::string& key,
                                     const std::string& value, const std::string& path) {
    auto text = ReadWholeFile(path);
    if (!text) {
        // Only a file that is really absent may be started afresh; one that
        // exists but cannot be read must not be replaced by a near-empty one.
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 || errno != ENOENT) {
            return false;
        }
    }
    IniDocument doc = IniDocument::Parse(text.value_or(std::string{}));
    doc.Set(section, key, value);
    return WriteFileAtomically(path, doc.Serialize());
}

} // namespace mixora
