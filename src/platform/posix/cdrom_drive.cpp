#include "platform/posix/cdrom_drive.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace mixora {
namespace {

class RealSystem final : public ICdromSystem {
public:
    int Open(const char* path, int flags) override { return ::open(path, flags); }
    int Ioctl(int fd, unsigned long request, void* arg) override {
        return ::ioctl(fd, request, arg);
    }
    int Close(int fd) override { return ::close(fd); }
    std::vector<std::string> DeviceNames() override {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir("/dev")) {
            while (const dirent* e = ::readdir(dir)) {
                names.emplace_back(e->d_name);
            }
            ::closedir(dir);
        }
        return names;
    }
};

// "sr<digits>", ordered by number so sr2 comes before sr10.
bool IsScsiCdrom(const std::string& name, unsigned* n) {
    if (name.size() < 3 || name.compare(0, 2, "sr") != 0 ||
        !std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        name.size() > 9) {
        return false;
    }
    *n = static_cast<unsigned>(std::stoul(name.substr(2)));
    return true;
}

class Session final : public ICdDriveSession {
public:
    Session(ICdromSystem& sys, int fd, std::string device)
        : sys_(sys), fd_(fd), device_(std::move(device)) {}
    ~Session() override { sys_.Close(fd_); }

    CdTray Status() override {
        const int s = sys_.Ioctl(fd_, CDROM_DRIVE_STATUS, reinterpret_cast<void*>(CDSL_CURRENT));
        switch (s) {
        case CDS_TRAY_OPEN:
            return CdTray::Open;
        case CDS_NO_DISC:
            return CdTray::NoDisc;
        case CDS_DISC_OK:
            break;
        case CDS_NO_INFO:
            break; // the drive cannot tell: the disc status will
        default:
            return CdTray::NotReady; // busy, spinning up, or the call failed
        }
        const int disc = sys_.Ioctl(fd_, CDROM_DISC_STATUS, nullptr);
        if (disc == CDS_NO_DISC) {
            return CdTray::NoDisc;
        }
        if (disc == CDS_TRAY_OPEN) {
            return CdTray::Open;
        }
        return disc < 0 || disc == CDS_DRIVE_NOT_READY ? CdTray::NotReady : CdTray::Disc;
    }

    bool ReadToc(CdToc* toc) override {
        cdrom_tochdr header{};
        if (sys_.Ioctl(fd_, CDROMREADTOCHDR, &header) < 0 || header.cdth_trk0 == 0 ||
            header.cdth_trk1 < header.cdth_trk0 || header.cdth_trk1 > 99) {
            return false;
        }
        CdToc read;
        read.firstTrack = header.cdth_trk0;
        for (int t = header.cdth_trk0; t <= header.cdth_trk1 + 1; ++t) {
            cdrom_tocentry entry{};
            entry.cdte_track = static_cast<__u8>(t > header.cdth_trk1 ? CDROM_LEADOUT : t);
            entry.cdte_format = CDROM_LBA;
            if (sys_.Ioctl(fd_, CDROMREADTOCENTRY, &entry) < 0 || entry.cdte_addr.lba < 0) {
                return false;
            }
            const auto start = static_cast<std::uint32_t>(entry.cdte_addr.lba);
            // Addresses only grow; a table that says otherwise is damaged.
            if ((!read.tracks.empty() && start < read.tracks.back().start)) {
                return false;
            }
            if (t > header.cdth_trk1) {
                read.leadOut = start;
            } else {
                read.tracks.push_back({start, (entry.cdte_ctrl & CDROM_DATA_TRACK) != 0});
            }
        }
        *toc = std::move(read);
        return true;
    }

    const std::string& Device() const override { return device_; }

private:
    ICdromSystem& sys_;
    int fd_;
    std::string device_;
};

} // namespace

ICdromSystem& LinuxCdromSystem() {
    static RealSystem system;
    return system;
}

CdromDrive::CdromDrive(std::string device, ICdromSystem& system)
    : sys_(system), device_(std::move(device)) {}

std::unique_ptr<ICdDriveSession> CdromDrive::Open() {
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    std::string path = device_.empty() ? "/dev/cdrom" : device_;
    int fd = sys_.Open(path.c_str(), kFlags);
    if (fd < 0 && device_.empty() && errno == ENOENT) {
        // /dev is listed once per run: without any drive a poll then ends at
        // the failed open. udev links /dev/cdrom to a drive plugged in later.
        if (!scanned_) {
            scanned_ = true;
            unsigned best = ~0u;
            for (const std::string& name : sys_.DeviceNames()) {
                unsigned n = 0;
                if (IsScsiCdrom(name, &n) && n < best) {
                    best = n;
                    scsiPath_ = "/dev/" + name;
                }
            }
        }
        path = scsiPath_;
        fd = path.empty() ? -1 : sys_.Open(path.c_str(), kFlags);
    }
    if (fd < 0) {
        return nullptr;
    }
    return std::make_unique<Session>(sys_, fd, path);
}

} // namespace mixora
