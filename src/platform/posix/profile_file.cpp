#include "platform/posix/profile_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "platform/posix/atomic_file.h"
#include "platform/posix/ini_document.h"

namespace mixora {
namespace {

// What tells that a file changed on disk since it was read.
struct Identity {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    long long ctimeNs = 0;
    friend bool operator==(const Identity&, const Identity&) = default;
};

// Nothing when the path cannot be looked at (other than being absent).
std::optional<Identity> IdentityOf(const std::string& path, std::string* error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            return Identity{};
        }
        if (error) {
            *error = std::strerror(errno);
        }
        return std::nullopt;
    }
    if (S_ISDIR(st.st_mode)) {
        if (error) {
            *error = std::strerror(EISDIR);
        }
        return std::nullopt;
    }
    return Identity{true,
                    st.st_dev,
                    st.st_ino,
                    st.st_size,
                    st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec,
                    st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec};
}

} // namespace

struct PrivateProfileFile::Cached {
    Identity identity;
    IniDocument doc;
};

PrivateProfileFile::PrivateProfileFile() = default;
PrivateProfileFile::~PrivateProfileFile() = default;

PrivateProfileFile::Cached* PrivateProfileFile::Load(const std::string& path, std::string* error) {
    auto identity = IdentityOf(path, error);
    auto it = files_.find(path);
    if (!identity) {
        if (it != files_.end()) {
            files_.erase(it);
        }
        return nullptr;
    }
    if (it != files_.end() && it->second->identity == *identity) {
        return it->second.get();
    }
    if (it == files_.end()) {
        RemoveStaleTemporaries(path);
    }
    auto cached = std::make_unique<Cached>();
    if (identity->exists) {
        // Drop the old copy first: a large file is held once, not twice.
        if (it != files_.end()) {
            files_.erase(it);
        }
        auto text = ReadWholeFile(path, error);
        if (!text) {
            return nullptr;
        }
        cached->doc = IniDocument::Adopt(std::move(*text));
    }
    cached->identity = *identity;
    Cached* raw = cached.get();
    files_[path] = std::move(cached);
    return raw;
}

int PrivateProfileFile::GetInt(const std::string& section, const std::string& key, int def,
                               const std::string& path) {
    Cached* file = Load(path, nullptr);
    auto value = file ? file->doc.Get(section, key) : std::nullopt;
    if (!value || value->empty()) {
        return def;
    }
    return ParseProfileInt(*value);
}

std::string PrivateProfileFile::GetString(const std::string& section, const std::string& key,
                                          const std::string& def, std::size_t bufferSize,
                                          const std::string& path) {
    Cached* file = Load(path, nullptr);
    std::string value = (file ? file->doc.Get(section, key) : std::nullopt).value_or(def);
    std::size_t room = bufferSize == 0 ? 0 : bufferSize - 1;
    if (value.size() > room) {
        value.resize(room);
    }
    return value;
}

bool PrivateProfileFile::WriteString(const std::string& section, const std::string& key,
                                     const std::string& value, const std::string& path) {
    return WriteStrings({{section, key, value}}, path, nullptr);
}

bool PrivateProfileFile::WriteStrings(const std::vector<ProfileEntry>& entries,
                                      const std::string& path, std::string* error) {
    // Only a file that is really absent may be started afresh; one that
    // exists but cannot be read must not be replaced by a near-empty one.
    Cached* file = Load(path, error);
    if (!file) {
        return false;
    }
    for (const ProfileEntry& e : entries) {
        file->doc.Set(e.section, e.key, e.value);
    }
    if (!WriteFileAtomically(path, file->doc.Serialize(), error)) {
        // The document in memory holds changes the disk does not: read anew
        // next time.
        files_.erase(path);
        return false;
    }
    if (auto identity = IdentityOf(path, nullptr)) {
        file->identity = *identity;
    }
    return true;
}

} // namespace mixora
