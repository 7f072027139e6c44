// A CD track range played through the real GStreamer path, with a raw file
// standing in for the disc: its samples are a slow ramp, so every sample
// that reaches the output tells which moment of the disc it came from.
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
#include "platform/posix/cd_audio_device.h"
#include "platform/qt/qt_window_host.h"

using namespace mixora;

namespace {

constexpr int kRate = 44100;
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

void Spin(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// Mono float samples holding a tenth of their time on the disc: reading a
// file of them back (x10) gives the disc time of each sample heard.
std::vector<float> Samples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<float> v(bytes.size() / 4);
    std::memcpy(v.data(), bytes.data(), v.size() * 4);
    return v;
}

struct CdSoundTest : ::testing::Test {
    void SetUp() override {
        CREATESTRUCT cs;
        cs.style = WS_POPUP;
        cs.cx = cs.cy = 50;
        ASSERT_TRUE(host.Create(cs, window));
        std::vector<float> ramp(3 * kRate);
        for (std::size_t i = 0; i < ramp.size(); ++i) {
            ramp[i] = static_cast<float>(static_cast<double>(i) / kRate / 10);
        }
        std::ofstream(dir.File("disc.raw"), std::ios::binary)
            .write(reinterpret_cast<const char*>(ramp.data()), std::streamsize(ramp.size() * 4));
        drive.toc = MakeToc({{3.0, false}});
        MCI_OPEN_PARMS open;
        open.lpstrDeviceType = "cdaudio";
        ASSERT_EQ(device.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open), 0u);
        id = open.wDeviceID;
        MCI_SET_PARMS tmsf;
        tmsf.dwTimeFormat = MCI_FORMAT_TMSF;
        device.SendCommand(id, MCI_SET, MCI_SET_TIME_FORMAT, &tmsf);
    }
    std::uint32_t Play(std::uint32_t from, std::uint32_t to) {
        MCI_PLAY_PARMS p{1, from, to};
        return device.SendCommand(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM | MCI_TO, &p);
    }
    int Frame() { // the position in frames from the start of track 1
        MCI_STATUS_PARMS s;
        s.dwItem = MCI_STATUS_POSITION;
        device.SendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, &s);
        const auto t = static_cast<std::uint32_t>(s.dwReturn);
        return static_cast<int>(((t >> 8 & 0xFF) * 60 + (t >> 16 & 0xFF)) * 75 + (t >> 24 & 0xFF));
    }

    TempDir dir;
    QtWindowHost host;
    Window window;
    EffectHub effects;
    FakeCdDrive drive;
    NoOtherMci other;
    GstCdSoundFactory sound{
        host,
        {.source = "filesrc location=" + dir.File("disc.raw") +
                   " ! rawaudioparse pcm-format=f32le sample-rate=44100 num-channels=1",
         .audioSink = "audioconvert ! audio/x-raw,format=F32LE,channels=1 ! filesink sync=true "
                      "location=" +
                      dir.File("heard.raw"),
         .effects = &effects}};
    CdAudioDevice device{drive, sound, host, other};
    std::uint32_t id = 0;
};

TEST_F(CdSoundTest, ARangeSoundsFromItsStartToItsEndAndMuteSilencesIt) {
    QElapsedTimer clock;
    clock.start();
    // From 0:00.50 to 0:01.50: a second, started away from the disc's start.
    ASSERT_EQ(Play(MCI_MAKE_TMSF(1, 0, 0, 50), MCI_MAKE_TMSF(1, 0, 1, 50)), 0u);
    EXPECT_NEAR(Frame(), 50, 1);
    Spin([&] { return !window.notes.empty(); });
    ASSERT_FALSE(window.notes.empty());
    EXPECT_EQ(window.notes.back(), std::make_pair(MCI_NOTIFY_SUCCESSFUL, LPARAM(id)));
    EXPECT_TRUE(window.onUiThread);
    EXPECT_GE(clock.elapsed(), 1000 - 50); // in real time
    EXPECT_EQ(Frame(), 125);

    // Heard: 0:00.50 to 0:01.50 of the disc, each moment once, in order.
    const auto heard = Samples(dir.File("heard.raw"));
    ASSERT_FALSE(heard.empty());
    EXPECT_NEAR(heard.front() * 10, 50 * kFrame, kFrame);
    EXPECT_NEAR(heard.back() * 10, 125 * kFrame, kFrame);
    EXPECT_NEAR(static_cast<double>(heard.size()) / kRate, 1.0, kFrame);
    for (std::size_t i = 1; i < heard.size(); ++i) {
        ASSERT_LT(std::abs(heard[i] - heard[i - 1]) * 10, kFrame) << i;
    }

    // The CD line's mute silences the next range (a new range starts the
    // output file afresh).
    device.SetLineLevel(65535, 65535, true);
    ASSERT_EQ(Play(MCI_MAKE_TMSF(1, 0, 2, 0), MCI_MAKE_TMSF(1, 0, 2, 15)), 0u);
    const std::size_t notes = window.notes.size();
    Spin([&] { return window.notes.size() > notes; });
    const auto muted = Samples(dir.File("heard.raw"));
    EXPECT_NEAR(static_cast<double>(muted.size()) / kRate, 0.2, kFrame);
    EXPECT_EQ(*std::max_element(muted.begin(), muted.end()), 0.0f);
}

} // namespace
