// A CD track range played through the real GStreamer path, with a WAV file
// standing in for the disc: its samples are a slow ramp, so every sample
// that reaches the output tells which moment of the disc it came from.
#include <gst/gst.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

#include "fakes/fake_cd_drive.h"
#include "fakes/temp_dir.h"
#include "platform/effect_driver/effect_hub.h"
#include "platform/gst/cd_sound.h"
#include "platform/gst/gst_runtime.h"
#include "platform/posix/cd_audio_device.h"
#include "platform/qt/qt_window_host.h"

using namespace mixora;

namespace {

constexpr int kRate = 44100;
constexpr double kDiscSeconds = 3.0;
constexpr double kRampTop = 0.5; // the ramp's value at the end of the disc
constexpr double kFrame = 1.0 / 75;

struct Window : IWindowProc {
    std::vector<std::pair<WPARAM, LPARAM>> notes;
    bool onUiThread = true;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == MM_MCINOTIFY) {
            notes.emplace_back(w, l);
            onUiThread &= QThread::currentThread() == QCoreApplication::instance()->thread();
        }
        return 0;
    }
};

struct Log : IDebugOutput {
    std::vector<std::string> lines;
    void OutputDebugString(const std::string& text) override { lines.push_back(text); }
};

void Spin(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// Stereo 16-bit PCM whose samples rise from 0 to kRampTop over the disc.
void WriteRampWav(const std::string& path) {
    const auto n = static_cast<std::uint32_t>(kDiscSeconds * kRate);
    std::string b = "RIFF";
    auto le = [&b](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            b.push_back(static_cast<char>(v >> (8 * i)));
        }
    };
    le(36 + n * 4, 4);
    b += "WAVEfmt ";
    for (auto [v, bytes] : {std::pair{16u, 4},
                            {1u, 2},
                            {2u, 2},
                            {std::uint32_t(kRate), 4},
                            {std::uint32_t(kRate * 4), 4},
                            {4u, 2},
                            {16u, 2}}) {
        le(v, bytes);
    }
    b += "data";
    le(n * 4, 4);
    for (std::uint32_t i = 0; i < n; ++i) {
        const auto s = static_cast<std::uint16_t>(std::lround(kRampTop * i / n * 32767.0));
        le(s | std::uint32_t(s) << 16, 4);
    }
    std::ofstream(path, std::ios::binary) << b;
}

// The disc time each left-channel sample of the output came from.
std::vector<double> HeardTimes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<double> t(bytes.size() / 8);
    for (std::size_t i = 0; i < t.size(); ++i) {
        float v = 0;
        std::memcpy(&v, bytes.data() + i * 8, sizeof v);
        t[i] = v / kRampTop * kDiscSeconds;
    }
    return t;
}

class CdSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(EnsureGstreamer());
        CREATESTRUCT cs;
        cs.style = WS_POPUP;
        cs.cx = cs.cy = 50;
        ASSERT_TRUE(host.Create(cs, window));
        WriteRampWav(dir.File("disc.wav"));
        drive.toc = MakeToc({{kDiscSeconds, false}});
    }
    std::uint32_t Open() {
        MCI_OPEN_PARMS open;
        open.lpstrDeviceType = "cdaudio";
        EXPECT_EQ(device.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open), 0u);
        MCI_SET_PARMS set;
        set.dwTimeFormat = MCI_FORMAT_TMSF;
        device.SendCommand(open.wDeviceID, MCI_SET, MCI_SET_TIME_FORMAT, &set);
        return open.wDeviceID;
    }
    std::uint32_t Play(std::uint32_t id, std::uint32_t from, std::uint32_t to) {
        MCI_PLAY_PARMS p;
        p.dwCallback = 1;
        p.dwFrom = from;
        p.dwTo = to;
        return device.SendCommand(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM | MCI_TO, &p);
    }
    std::uint32_t Position(std::uint32_t id) {
        MCI_STATUS_PARMS s;
        s.dwItem = MCI_STATUS_POSITION;
        device.SendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, &s);
        return static_cast<std::uint32_t>(s.dwReturn);
    }
    static int Frames(std::uint32_t tmsf) {
        return static_cast<int>(((tmsf >> 8 & 0xFF) * 60 + (tmsf >> 16 & 0xFF)) * 75 +
                                (tmsf >> 24 & 0xFF));
    }

    TempDir dir;
    QtWindowHost host;
    Window window;
    Log log;
    EffectHub effects;
    FakeCdDrive drive;
    NoOtherMci other;
    GstCdSoundFactory sound{
        host,
        {.source = "filesrc location=" + dir.File("disc.wav") + " ! wavparse",
         .audioSink = "audioconvert ! audio/x-raw,format=F32LE,channels=2 ! filesink sync=true "
                      "location=" +
                      dir.File("heard.raw"),
         .log = &log,
         .effects = &effects}};
    CdAudioDevice device{drive, sound, host, other};
};

TEST_F(CdSoundTest, ARangeSoundsFromItsStartToItsEndAcrossAPause) {
    const std::uint32_t id = Open();
    QElapsedTimer clock;
    clock.start();
    // From 0:00.50 to 0:01.50: one second, started away from the disc's start.
    ASSERT_EQ(Play(id, MCI_MAKE_TMSF(1, 0, 0, 50), MCI_MAKE_TMSF(1, 0, 1, 50)), 0u);
    EXPECT_NEAR(Frames(Position(id)), 50, 1);
    Spin([] { return false; }, 400);
    device.SendCommand(id, MCI_PAUSE, MCI_WAIT, nullptr);
    const std::uint32_t paused = Position(id);
    EXPECT_GT(Frames(paused), 50 + 10);
    EXPECT_LT(Frames(paused), 125);
    Spin([] { return false; }, 300);
    EXPECT_EQ(Position(id), paused);
    ASSERT_EQ(Play(id, paused, MCI_MAKE_TMSF(1, 0, 1, 50)), 0u);
    Spin([&] { return !window.notes.empty() && window.notes.back().first != MCI_NOTIFY_ABORTED; });

    ASSERT_FALSE(window.notes.empty());
    EXPECT_EQ(window.notes.back(), std::make_pair(MCI_NOTIFY_SUCCESSFUL, LPARAM(id)));
    EXPECT_TRUE(window.onUiThread);
    EXPECT_GE(clock.elapsed(), 1000 + 300 - 50); // played in real time, the pause held
    EXPECT_EQ(Frames(Position(id)), 125);
    EXPECT_TRUE(log.lines.empty()) << log.lines.front();

    // What was heard: 0:00.50 to 0:01.50 of the disc, each moment once.
    const auto heard = HeardTimes(dir.File("heard.raw"));
    ASSERT_FALSE(heard.empty());
    EXPECT_NEAR(heard.front(), 50 * kFrame, kFrame);
    EXPECT_NEAR(heard.back(), 125 * kFrame, kFrame);
    EXPECT_NEAR(static_cast<double>(heard.size()) / kRate, 1.0, kFrame);
    double jump = 0;
    for (std::size_t i = 1; i < heard.size(); ++i) {
        jump = std::max(jump, std::abs(heard[i] - heard[i - 1]));
    }
    EXPECT_LT(jump, kFrame);

    // The CD line's mute silences the next range (each play starts the
    // output file afresh).
    device.SetLineLevel(65535, 65535, true);
    ASSERT_EQ(Play(id, MCI_MAKE_TMSF(1, 0, 2, 0), MCI_MAKE_TMSF(1, 0, 2, 15)), 0u);
    const std::size_t notes = window.notes.size();
    Spin([&] { return window.notes.size() > notes; });
    const auto muted = HeardTimes(dir.File("heard.raw"));
    EXPECT_NEAR(static_cast<double>(muted.size()) / kRate, 0.2, kFrame);
    EXPECT_EQ(*std::max_element(muted.begin(), muted.end()), 0.0);
}

TEST_F(CdSoundTest, ASourceThatCannotBeMadeRefusesThePlayAndSaysWhy) {
    GstCdSoundFactory broken(host, {.source = "nosuchcdreader", .audioSink = {}, .log = &log});
    std::string why;
    EXPECT_EQ(broken.CreateCdOutput(&why), nullptr);
    EXPECT_NE(why.find("nosuchcdreader"), std::string::npos) << why;
    CdAudioDevice refusing(drive, broken, host, other);
    MCI_OPEN_PARMS open;
    open.lpstrDeviceType = "cdaudio";
    ASSERT_EQ(refusing.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open), 0u);
    MCI_PLAY_PARMS p;
    EXPECT_EQ(refusing.SendCommand(open.wDeviceID, MCI_PLAY, MCI_NOTIFY, &p), MCIERR_HARDWARE);
}

} // namespace
