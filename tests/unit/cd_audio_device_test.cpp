// The "cdaudio" device on a fake drive: the packed values it answers, the
// range it plays, and the notifications the window receives.
#include <gtest/gtest.h>

#include "fakes/fake_cd_drive.h"
#include "platform/posix/cd_audio_device.h"

namespace mixora {
namespace {

struct CdDeviceTest : ::testing::Test {
    FakeCdDrive drive;
    FakeClock clock;
    FakeCdHost host;
    FakeCdOutputFactory outputs{clock, host};
    NoOtherMci other;
    CdAudioDevice device{drive, outputs, host, other};

    CdDeviceTest() {
        // Track 1 3:50, track 2 4:30 and 40 frames, track 3 one minute, then data.
        drive.toc =
            MakeToc({{230.0, false}, {270.0 + 40.0 / 75, false}, {60.0, false}, {100.0, true}});
    }
    std::uint32_t OpenCd() {
        MCI_OPEN_PARMS open;
        open.lpstrDeviceType = "cdaudio";
        EXPECT_EQ(device.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open), 0u);
        return open.wDeviceID;
    }
    void Tmsf(std::uint32_t id) {
        MCI_SET_PARMS set;
        set.dwTimeFormat = MCI_FORMAT_TMSF;
        ASSERT_EQ(device.SendCommand(id, MCI_SET, MCI_SET_TIME_FORMAT, &set), 0u);
    }
    std::uint32_t Status(std::uint32_t id, std::uint32_t item, int track = 0,
                         std::uint32_t* error = nullptr) {
        MCI_STATUS_PARMS s;
        s.dwItem = item;
        s.dwTrack = static_cast<std::uint32_t>(track);
        const std::uint32_t r =
            device.SendCommand(id, MCI_STATUS, MCI_STATUS_ITEM | (track ? MCI_TRACK : 0u), &s);
        if (error) {
            *error = r;
        }
        return static_cast<std::uint32_t>(s.dwReturn);
    }
    std::uint32_t Play(std::uint32_t id, std::uint32_t flags, std::uint32_t from,
                       std::uint32_t to) {
        MCI_PLAY_PARMS p;
        p.dwCallback = 1;
        p.dwFrom = from;
        p.dwTo = to;
        return device.SendCommand(id, MCI_PLAY, flags, &p);
    }
    FakeCdOutput& Out() { return *outputs.made; }
};

TEST_F(CdDeviceTest, AnswersTheTableOfContentsInPackedMsf) {
    const std::uint32_t id = OpenCd();
    EXPECT_NE(id, 0u);
    // Minutes in bits 0-7, seconds 8-15, frames 16-23, in any time format
    // (the drive's own test reads them in the default one).
    Tmsf(id);
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH, 3), 0x00000001u); // 1:00.00
    std::uint32_t error = 0;
    Status(id, MCI_STATUS_LENGTH, 5, &error);
    EXPECT_EQ(error, MCIERR_OUTOFRANGE);
    // A second device id on the same drive, and nothing opened on the way
    // stays open after both close.
    const std::uint32_t other = OpenCd();
    EXPECT_NE(other, id);
    EXPECT_EQ(Status(other, MCI_STATUS_POSITION), 0x00000200u); // MSF counts the lead-in
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 0x00000001u);    // TMSF 1 0:00.00
    device.SendCommand(other, MCI_CLOSE, 0, nullptr);
    device.SendCommand(id, MCI_CLOSE, 0, nullptr);
    EXPECT_EQ(drive.alive, 0);
    EXPECT_EQ(device.SendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, nullptr),
              MCIERR_INVALID_DEVICE_ID);
}

TEST_F(CdDeviceTest, WithoutADiscNothingIsReadOrPlayed) {
    const std::uint32_t id = OpenCd();
    drive.tray = CdTray::NoDisc;
    std::uint32_t error = 0;
    Status(id, MCI_STATUS_NUMBER_OF_TRACKS, 0, &error);
    EXPECT_EQ(error, MCIERR_DEVICE_NOT_READY);
    EXPECT_EQ(Play(id, MCI_NOTIFY, 0, 0), MCIERR_DEVICE_NOT_READY);
    device.SendCommand(id, MCI_CLOSE, 0, nullptr);
    // No drive at all: the open fails and nothing is left to close.
    drive.present = false;
    MCI_OPEN_PARMS open;
    open.lpstrDeviceType = "cdaudio";
    EXPECT_NE(device.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open), 0u);
    EXPECT_EQ(outputs.created, 0); // nothing of the media engine was started
}

TEST_F(CdDeviceTest, SupersededAndAbortedPlaysSayTheirCodes) {
    const std::uint32_t id = OpenCd();
    Tmsf(id);
    Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(1, 0, 0, 0), MCI_MAKE_TMSF(1, 3, 50, 0));
    Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(3, 0, 0, 0), MCI_MAKE_TMSF(3, 1, 0, 0));
    device.SendCommand(id, MCI_STOP, MCI_WAIT, nullptr);
    Out().Advance(600'000); // the stopped play never ends
    host.RunAll();
    ASSERT_EQ(host.notifications.size(), 2u);
    EXPECT_EQ(host.notifications[0].first, MCI_NOTIFY_SUPERSEDED);
    EXPECT_EQ(host.notifications[1].first, MCI_NOTIFY_ABORTED);
    // Out of range or backwards: refused, nothing changes.
    EXPECT_EQ(Play(id, MCI_FROM | MCI_TO, MCI_MAKE_TMSF(9, 0, 0, 0), MCI_MAKE_TMSF(9, 1, 0, 0)),
              MCIERR_OUTOFRANGE);
    EXPECT_EQ(Play(id, MCI_FROM | MCI_TO, MCI_MAKE_TMSF(2, 1, 0, 0), MCI_MAKE_TMSF(2, 0, 1, 0)),
              MCIERR_OUTOFRANGE);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
}

TEST_F(CdDeviceTest, ASeekStopsWhereItWasAskedToStand) {
    const std::uint32_t id = OpenCd();
    Tmsf(id);
    Play(id, MCI_NOTIFY | MCI_FROM | MCI_TO, MCI_MAKE_TMSF(1, 0, 0, 0), MCI_MAKE_TMSF(1, 3, 50, 0));
    MCI_PLAY_PARMS seek;
    seek.dwTo = MCI_MAKE_TMSF(3, 0, 30, 0);
    EXPECT_EQ(device.SendCommand(id, MCI_SEEK, MCI_TO, &seek), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), MCI_MAKE_TMSF(3, 0, 30, 0));
    host.RunAll();
    EXPECT_EQ(host.notifications.back().first, MCI_NOTIFY_ABORTED);
}

TEST_F(CdDeviceTest, TheCdLineSetsTheGainOfTheSound) {
    device.SetLineLevel(65535, 65535, false);
    const std::uint32_t id = OpenCd();
    Play(id, 0, 0, 0);
    EXPECT_DOUBLE_EQ(Out().gain, 1.0);
    device.SetLineLevel(0, 0, true); // -30 dB and muted
    EXPECT_NEAR(Out().gain, 0.031623, 1e-6);
    EXPECT_TRUE(Out().mute);
}

} // namespace
} // namespace mixora
