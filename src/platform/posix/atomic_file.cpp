#include "platform/posix/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace mixora {
namespace {

// Temporary files are hidden and carry a marker of their own, so the clean-up
// at start can never mistake a user's "Mixora.ini.backup" for one of ours.
constexpr const char* kTempMarker = ".mixora-tmp.";
constexpr std::size_t kRandomChars = 6; // what mkstemp fills in
constexpr std::size_t kEditRoom = 64 * 1024;

std::string Folder(const std::string& path) {
    std::size_t cut = path.rfind('/');
    if (cut == std::string::npos) {
        return ".";
    }
    return cut == 0 ? "/" : path.substr(0, cut);
}

std::string FileName(const std::string& path) {
    std::size_t cut = path.rfind('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string TempPrefix(const std::string& path) {
    std::string folder = Folder(path);
    return (folder == "/" ? "" : folder) + "/." + FileName(path) + kTempMarker;
}

void SetError(std::string* error, const std::string& what) {
    if (error) {
        *error = what;
    }
}

} // namespace

std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    // As many hops as the kernel itself follows before giving up (ELOOP).
    for (int hop = 0; hop < 40; ++hop) {
        std::vector<char> buf(4096);
        ssize_t n = ::readlink(current.c_str(), buf.data(), buf.size());
        if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) {
            return current;
        }
        std::string target(buf.data(), static_cast<std::size_t>(n));
        if (target.empty()) {
            return current;
        }
        current = target.front() == '/' ? target : Folder(current) + "/" + target;
    }
    return current;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    const std::string target = ResolveLinks(path);
    std::string tmpl = TempPrefix(target) + std::string(kRandomChars, 'X');
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        SetError(error, std::strerror(errno));
        return false;
    }
    // Keep the permissions a user may have given the file; new files get the
    // usual 0644 less the umask.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0644 & ~mask);
    }
    int failure = 0;
    std::size_t done = 0;
    while (failure == 0 && done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failure = n < 0 ? errno : ENOSPC;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    if (failure == 0 && ::fsync(fd) != 0) {
        failure = errno;
    }
    if (::close(fd) != 0 && failure == 0) {
        failure = errno;
    }
    if (failure == 0 && ::rename(name.data(), target.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(name.data());
        SetError(error, std::strerror(failure));
        return false;
    }
    return true;
}

int RemoveStaleTemporaries(const std::string& path, int minAgeSeconds) {
    const std::string target = ResolveLinks(path);
    const std::string folder = Folder(target);
    const std::string prefix = "." + FileName(target) + kTempMarker;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        return 0;
    }
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + kRandomChars ||
            name.substr(0, prefix.size()) != prefix) {
            continue;
        }
        std::string full = (folder == "/" ? "" : folder) + "/" + std::string(name);
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            now - st.st_mtime < minAgeSeconds) {
            continue;
        }
        if (::unlink(full.c_str()) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, std::strerror(errno));
        return std::nullopt;
    }
    std::string out;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetError(error, std::strerror(EISDIR));
        return std::nullopt;
    }
    // One allocation of the file's size, so a large file is held once and
    // never copied while it grows; with room to spare for the few lines a
    // settings write adds, which would otherwise double the buffer.
    if (st.st_size > 0) {
        out.reserve(static_cast<std::size_t>(st.st_size) + kEditRoom);
    }
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            SetError(error, std::strerror(errno));
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

bool MakeDirectories(const std::string& dir) {
    if (dir.empty()) {
        return false;
    }
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        partial = dir.substr(0, pos);
        if (partial.empty()) {
            continue;
        }
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace mixora
