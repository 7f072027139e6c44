#pragma once
// The CD drive on Linux: tray, disc and table of contents from the CD-ROM
// ioctls of the drive's device node, opened read-only and non-blocking so
// that an empty drive or an open tray never blocks and no disc spins up.
#include <memory>
#include <string>
#include <vector>

#include "platform/cd_drive.h"

namespace mixora {

// The system calls the drive makes, so tests can stand in for a drive.
class ICdromSystem {
public:
    virtual ~ICdromSystem() = default;
    // As open(2), ioctl(2) and close(2): -1 with errno set on failure.
    virtual int Open(const char* path, int flags) = 0;
    virtual int Ioctl(int fd, unsigned long request, void* arg) = 0;
    virtual int Close(int fd) = 0;
    // The names in /dev ("sr0", "cdrom", ...).
    virtual std::vector<std::string> DeviceNames() = 0;
};

// The real calls.
ICdromSystem& LinuxCdromSystem();

class CdromDrive final : public ICdDrive {
public:
    // `device` empty: /dev/cdrom, else the first /dev/sr*.
    explicit CdromDrive(std::string device = {}, ICdromSystem& system = LinuxCdromSystem());

    std::unique_ptr<ICdDriveSession> Open() override;

private:
    ICdromSystem& sys_;
    std::string device_;
    bool scanned_ = false;
    std::string scsiPath_; // the first /dev/sr*, empty when none
};

} // namespace mixora
