// The Linux CD drive through a fake at the system calls: which node is
// opened and how, and what the CD-ROM ioctls' answers become.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/cdrom.h>

#include <cerrno>
#include <map>

#include "fakes/fake_cd_drive.h"
#include "platform/posix/cd_audio_device.h"
#include "platform/posix/cdrom_drive.h"

namespace mixora {
namespace {

struct FakeCdrom final : ICdromSystem {
    std::map<std::string, int> nodes{{"/dev/sr0", 3}};
    std::vector<std::string> names{"null", "sr10", "sr0", "tty"};
    std::vector<std::string> log;
    int driveStatus = CDS_DISC_OK, discStatus = CDS_AUDIO, statusErrno = 0;
    // Track number -> (LBA, ctrl); 0xAA is the lead-out.
    std::map<int, std::pair<int, int>> toc{
        {1, {0, 0}}, {2, {17250, 0}}, {3, {37540, 4}}, {0xAA, {45040, 4}}};
    int failEntry = -1;
    int open = 0;

    int Open(const char* path, int flags) override {
        log.push_back(
            std::string("open ") + path +
            (flags == (O_RDONLY | O_NONBLOCK | O_CLOEXEC) ? " ro,nonblock" : " other flags"));
        auto it = nodes.find(path);
        if (it == nodes.end()) {
            errno = ENOENT;
            return -1;
        }
        ++open;
        return it->second;
    }
    int Close(int) override {
        --open;
        return 0;
    }
    std::vector<std::string> DeviceNames() override { return names; }
    int Ioctl(int, unsigned long request, void* arg) override {
        if (request == CDROM_DRIVE_STATUS) {
            EXPECT_EQ(reinterpret_cast<std::intptr_t>(arg), CDSL_CURRENT);
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
            EXPECT_EQ(e->cdte_format, CDROM_LBA);
            if (e->cdte_track == failEntry) {
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

struct CdromDriveTest : ::testing::Test {
    FakeCdrom sys;
    FakeClock clock;
    FakeCdHost host;
    FakeCdOutputFactory outputs{clock, host};
    NoOtherMci other;

    // Asks the whole device, as the program does.
    std::uint32_t Ask(CdromDrive& drive, std::uint32_t item, int track = 0,
                      std::uint32_t* error = nullptr) {
        CdAudioDevice device(drive, outputs, host, other);
        MCI_OPEN_PARMS open;
        open.lpstrDeviceType = "cdaudio";
        if (device.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open) != 0) {
            return 0xDEAD;
        }
        MCI_STATUS_PARMS s;
        s.dwItem = item;
        s.dwTrack = static_cast<std::uint32_t>(track);
        const std::uint32_t r = device.SendCommand(open.wDeviceID, MCI_STATUS,
                                                   MCI_STATUS_ITEM | (track ? MCI_TRACK : 0u), &s);
        if (error) {
            *error = r;
        }
        device.SendCommand(open.wDeviceID, MCI_CLOSE, 0, nullptr);
        return static_cast<std::uint32_t>(s.dwReturn);
    }
};

TEST_F(CdromDriveTest, OpensCdromElseTheFirstScsiDriveReadOnlyAndNonBlocking) {
    CdromDrive drive({}, sys);
    auto session = drive.Open();
    ASSERT_TRUE(session);
    EXPECT_EQ(session->Device(), "/dev/sr0");
    EXPECT_EQ(sys.log, (std::vector<std::string>{"open /dev/cdrom ro,nonblock",
                                                 "open /dev/sr0 ro,nonblock"}));
    session.reset();
    EXPECT_EQ(sys.open, 0);
    // A named drive is the only one tried.
    sys.log.clear();
    CdromDrive named("/dev/sr1", sys);
    EXPECT_FALSE(named.Open());
    EXPECT_EQ(sys.log, std::vector<std::string>{"open /dev/sr1 ro,nonblock"});
    // No drive: the open fails and that is all; /dev is not listed again.
    sys.nodes.clear();
    sys.log.clear();
    CdromDrive none({}, sys);
    sys.names = {"null"};
    EXPECT_EQ(Ask(none, MCI_STATUS_MODE), 0xDEADu);
    EXPECT_EQ(Ask(none, MCI_STATUS_MODE), 0xDEADu);
    EXPECT_EQ(sys.log, (std::vector<std::string>{"open /dev/cdrom ro,nonblock",
                                                 "open /dev/cdrom ro,nonblock"}));
}

TEST_F(CdromDriveTest, TableOfContentsBecomesLengthsAndTrackTypes) {
    CdromDrive drive({}, sys);
    EXPECT_EQ(Ask(drive, MCI_STATUS_MEDIA_PRESENT), 1u);
    EXPECT_EQ(Ask(drive, MCI_STATUS_NUMBER_OF_TRACKS), 3u);
    EXPECT_EQ(Ask(drive, MCI_STATUS_LENGTH, 1), 0x00003203u); // 17250 frames: 3:50.00
    EXPECT_EQ(Ask(drive, MCI_STATUS_LENGTH, 2), 0x00281E04u); // 20290 frames: 4:30.40
    EXPECT_EQ(Ask(drive, MCI_STATUS_LENGTH, 3), 0x00002801u); // 7500 frames: 1:40.00
    EXPECT_EQ(Ask(drive, MCI_CDA_STATUS_TYPE_TRACK, 1), MCI_CDA_TRACK_AUDIO);
    EXPECT_EQ(Ask(drive, MCI_CDA_STATUS_TYPE_TRACK, 3), MCI_CDA_TRACK_OTHER);
    // A failing entry read: no table, the disc is not ready.
    sys.failEntry = 2;
    std::uint32_t error = 0;
    Ask(drive, MCI_STATUS_NUMBER_OF_TRACKS, 0, &error);
    EXPECT_EQ(error, MCIERR_DEVICE_NOT_READY);
    EXPECT_EQ(sys.open, 0);
}

TEST_F(CdromDriveTest, TrayDiscAndBusyStatesBecomeModes) {
    CdromDrive drive({}, sys);
    EXPECT_EQ(Ask(drive, MCI_STATUS_MODE), MCI_MODE_STOP);
    sys.driveStatus = CDS_TRAY_OPEN;
    EXPECT_EQ(Ask(drive, MCI_STATUS_MODE), MCI_MODE_OPEN);
    EXPECT_EQ(Ask(drive, MCI_STATUS_MEDIA_PRESENT), 0u);
    sys.driveStatus = CDS_NO_DISC;
    EXPECT_EQ(Ask(drive, MCI_STATUS_MODE), MCI_MODE_NOT_READY);
    sys.driveStatus = CDS_DISC_OK;
    sys.statusErrno = EBUSY; // another program holds the drive
    EXPECT_EQ(Ask(drive, MCI_STATUS_MEDIA_PRESENT), 0u);
    // A drive that cannot tell its tray asks the disc.
    sys.statusErrno = 0;
    sys.driveStatus = CDS_NO_INFO;
    sys.discStatus = CDS_MIXED;
    EXPECT_EQ(Ask(drive, MCI_STATUS_MEDIA_PRESENT), 1u);
}

} // namespace
} // namespace mixora
