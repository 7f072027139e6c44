#include "platform/posix/posix_file_store.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/atomic_file.h"

namespace mixora {

FileError FileErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return FileError::Other; // failed without saying why
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return FileError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return FileError::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileError::DiskFull;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
        return FileError::SharingViolation;
    default:
        return FileError::Other;
    }
}

FileError PosixFileStore::ReadAll(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return FileErrorFromErrno(errno);
    }
    std::string out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return FileErrorFromErrno(error);
        }
        if (n == 0) {
            break;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    bytes = std::move(out);
    return FileError::None;
}

FileError PosixFileStore::WriteAtomically(const std::string& path, std::string_view bytes) {
    errno = 0;
    if (WriteFileAtomically(path, bytes)) {
        return FileError::None;
    }
    return FileErrorFromErrno(errno);
}

} // namespace mixora
