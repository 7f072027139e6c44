// The Linux CD drive through a fake at the system calls: which node is
// opened and how, and what the CD-ROM ioctls' answers become.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/cdrom.h>

#include <cerrno>
#include <map>
#include <tuple>

#include "platform/posix/cdrom_drive.h"

namespace mixora {
namespace {

struct FakeCdrom final : ICdromSystem {
    std::map<std::string, int> nodes{{"/dev/sr0", 3}};
    std::vector<std::string> log;
    int driveStatus = CDS_DISC_OK, discStatus = CDS_AUDIO, statusErrno = 0;
    // Track number -> (LBA, ctrl); 0xAA is the lead-out.
    std::map<int, std::pair<int, int>> toc{
        {1, {0, 0}}, {2, {17250, 0}}, {3, {37540, 4}}, {0xAA, {45040, 4}}};
    int failEntry = -1;
    int open = 0;

    int Open(const char* path, int flags) override {
        log.push_back(std::string(path) +
                      (flags == (O_RDONLY | O_NONBLOCK | O_CLOEXEC) ? " ro,nonblock" : " other"));
        auto it = nodes.find(path);
        if (it == nodes.end()) {
            errno = ENOENT;
            return -1;
        }
        return ++open, it->second;
    }
    int Close(int) override { return --open, 0; }
    std::vector<std::string> DeviceNames() override { return {"null", "sr10", "sr0", "tty"}; }
    int Ioctl(int, unsigned long request, void* arg) override {
        if (request == CDROM_DRIVE_STATUS) {
            errno = statusErrno;
            return statusErrno ? -1 : driveStatus;
        }
        if (request == CDROM_DISC_STATUS) {
            return discStatus;
        }
        if (request == CDROMREADTOCHDR) {
            auto* h = static_cast<cdrom_tochdr*>(arg);
            h->cdth_trk0 = 1;
            h->cdth_trk1 = 3;
            return 0;
        }
        if (request == CDROMREADTOCENTRY) {
            auto* e = static_cast<cdrom_tocentry*>(arg);
            if (e->cdte_format != CDROM_LBA || e->cdte_track == failEntry) {
                errno = EIO;
                return -1;
            }
            auto [lba, ctrl] = toc.at(e->cdte_track);
            e->cdte_addr.lba = lba;
            e->cdte_ctrl = static_cast<__u8>(ctrl);
            return 0;
        }
        errno = ENOTTY;
        return -1;
    }
};

TEST(CdromDriveTest, OpensCdromElseTheFirstScsiDriveAndReadsItsTable) {
    FakeCdrom sys;
    CdromDrive drive({}, sys);
    {
        auto session = drive.Open();
        ASSERT_TRUE(session);
        EXPECT_EQ(session->Device(), "/dev/sr0");
        EXPECT_EQ(sys.log,
                  (std::vector<std::string>{"/dev/cdrom ro,nonblock", "/dev/sr0 ro,nonblock"}));
        CdToc toc;
        ASSERT_TRUE(session->ReadToc(&toc));
        EXPECT_EQ(toc.firstTrack, 1);
        ASSERT_EQ(toc.tracks.size(), 3u);
        EXPECT_EQ(std::tuple(toc.tracks[1].start, toc.tracks[1].data, toc.tracks[2].data),
                  std::tuple(17250u, false, true));
        EXPECT_EQ(toc.leadOut, 45040u);
    }
    sys.failEntry = 2;
    EXPECT_FALSE(drive.Open()->ReadToc(nullptr)); // a failing entry: no table
    EXPECT_EQ(sys.open, 0);
    // A named drive is the only one tried.
    sys.log.clear();
    EXPECT_FALSE(CdromDrive("/dev/sr1", sys).Open());
    EXPECT_EQ(sys.log, std::vector<std::string>{"/dev/sr1 ro,nonblock"});
}

TEST(CdromDriveTest, TrayDiscAndBusyStatesBecomeTrayStates) {
    FakeCdrom sys;
    CdromDrive drive({}, sys);
    // A busy drive (another program holds it) is not ready; a drive that
    // cannot tell its tray asks the disc.
    struct Case {
        int drive, error, disc;
        CdTray tray;
    };
    for (const Case c : {Case{CDS_DISC_OK, 0, CDS_AUDIO, CdTray::Disc},
                         Case{CDS_TRAY_OPEN, 0, CDS_AUDIO, CdTray::Open},
                         Case{CDS_NO_DISC, 0, CDS_AUDIO, CdTray::NoDisc},
                         Case{CDS_DISC_OK, EBUSY, CDS_AUDIO, CdTray::NotReady},
                         Case{CDS_NO_INFO, 0, CDS_MIXED, CdTray::Disc}}) {
        std::tie(sys.driveStatus, sys.statusErrno, sys.discStatus) =
            std::tuple(c.drive, c.error, c.disc);
        EXPECT_EQ(drive.Open()->Status(), c.tray) << c.drive << " " << c.error;
    }
}

} // namespace
} // namespace mixora
