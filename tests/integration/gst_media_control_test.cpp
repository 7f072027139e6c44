// The GStreamer media control on generated media: lengths, the end of media
// reaching the window, seeking, the equalizer and volume in the sound, and
// the picture on the window.
#include <gst/gst.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <QWidget>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

#include "dsp/dsp_signals.h"
#include "fakes/temp_dir.h"
#include "platform/effect_driver/effect_hub.h"
#include "platform/gst/effect_element.h"
#include "platform/gst/gst_media_factory.h"
#include "platform/gst/gst_runtime.h"
#include "platform/qt/qt_window_host.h"

using namespace mixora;
using namespace mixora::dsp_test;

namespace {

constexpr int kRate = 44100;
constexpr int kId = 1168;
const RECT kMediaRect{20, 30, 180, 150}; // 160 x 120

// Counts the control's ends of media and any other event it sends, and
// whether one came on another thread than the UI thread.
struct Window : IWindowProc {
    int ends = 0, others = 0, offUiThread = 0;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM) override {
        if (msg == WM_MEDIA_EVENT) {
            ++(LOWORD(w) == kId && HIWORD(w) == kMediaEventEndOfStream ? ends : others);
            offUiThread += QThread::currentThread() != QCoreApplication::instance()->thread();
        }
        return 0;
    }
};

void Spin(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// Runs a gst-launch description to its end: how the compressed media is made.
bool Encode(const std::string& description) {
    GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
    if (!pipeline) {
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg) {
        gst_message_unref(msg);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

// A wave file of a tone, exactly `seconds` long.
void ToneFile(const std::string& path, double seconds, int hz = 440, double volume = 0.3) {
    ASSERT_TRUE(Encode(
        "audiotestsrc samplesperbuffer=441 freq=" + std::to_string(hz) + " volume=" +
        std::to_string(volume) + " num-buffers=" + std::to_string(static_cast<int>(seconds * 100)) +
        " ! audio/x-raw,rate=44100,channels=2 ! wavenc ! filesink location=" + path));
}

std::vector<float> ReadFloats(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<float> out(bytes.size() / sizeof(float));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
    return out;
}

class GstMediaControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(EnsureGstreamer());
        CREATESTRUCT cs;
        cs.style = WS_POPUP;
        cs.cx = 240;
        cs.cy = 200;
        ASSERT_TRUE(host.Create(cs, window));
    }

    std::unique_ptr<IMediaControl> Make(const std::string& sink = "fakesink sync=true") {
        factory = std::make_unique<GstMediaControlFactory>(
            host, GstMediaOptions{.audioSink = sink, .effects = &effects});
        return factory->Create(kId, kMediaRect, true);
    }

    TempDir dir;
    QtWindowHost host;
    Window window;
    EffectHub effects;
    std::unique_ptr<GstMediaControlFactory> factory;
};

TEST_F(GstMediaControlTest, ProbesMeasureGeneratedMediaTruthfully) {
    // Variable bitrate with no table of contents: the first frame's bitrate
    // says nothing about the length. And a text file with a media name.
    std::vector<std::pair<std::string, double>> truth = {{"notes.mp3", 0.0}};
    dir.Write("notes.mp3", "This is a text file with the wrong name.\n");
    if (GstElementFactory* lame = gst_element_factory_find("lamemp3enc")) {
        gst_object_unref(lame);
        ASSERT_TRUE(Encode("audiotestsrc wave=silence samplesperbuffer=441 num-buffers=200 ! "
                           "audio/x-raw,rate=44100,channels=2 ! lamemp3enc target=quality "
                           "quality=0 ! filesink location=" +
                           dir.File("vbr.mp3")));
        truth.push_back({"vbr.mp3", 2.0});
    }
    GstMediaControlFactory probes(host);
    for (const auto& [name, seconds] : truth) {
        auto probe = probes.Create(1, RECT{}, true);
        ASSERT_NE(probe, nullptr);
        probe->PutFileName(dir.File(name));
        EXPECT_NEAR(probe->GetDuration(), seconds, 0.050) << name;
    }
}

TEST_F(GstMediaControlTest, TheEndArrivesOnTheUiThreadAndSeeksLandWhereAsked) {
    ToneFile(dir.File("tone.wav"), 1.5);
    auto control = Make();
    ASSERT_NE(control, nullptr);
    control->PutSwitch(kMediaSwitchAutoRewind, false);
    control->PutFileName(dir.File("tone.wav"));
    EXPECT_EQ(control->GetPlayState(), kMediaPlaying);
    EXPECT_NEAR(control->GetDuration(), 1.5, 0.001);
    EXPECT_EQ(control->GetHasPicture(), 0);
    control->PutCurrentPosition(1.0);
    EXPECT_NEAR(control->GetCurrentPosition(), 1.0, 0.100);

    Spin([&] { return window.ends > 0; });
    EXPECT_EQ(std::tuple(window.ends, window.others, window.offUiThread), std::tuple(1, 0, 0));
    EXPECT_EQ(control->GetPlayState(), kMediaStopped);
    EXPECT_NEAR(control->GetCurrentPosition(), 1.5, 0.100); // no rewind: it stays at the end
}

TEST_F(GstMediaControlTest, TheEqualizerAndTheVolumeAreHeardInTheOutput) {
    ToneFile(dir.File("in.wav"), 2.0, 100, 0.05); // quiet enough that +10 dB does not clip
    auto render = [&](const EffectState& effects, int volume, bool mute) {
        this->effects.SetState(effects);
        const std::string out = dir.File("out.raw");
        auto control = Make("audioconvert ! audio/x-raw,format=F32LE,channels=2 ! filesink "
                            "location=" +
                            out);
        control->PutVolume(volume);
        control->PutMute(mute);
        const int before = window.ends;
        control->PutFileName(dir.File("in.wav"));
        Spin([&] { return window.ends > before; });
        control.reset();
        const auto left = Channel(ReadFloats(out), 2, 0);
        EXPECT_GE(left.size(), static_cast<std::size_t>(kRate * 2));
        return std::vector<float>(left.begin() + kRate / 2, left.begin() + kRate * 3 / 2);
    };
    EXPECT_NEAR(Db(Amplitude(render(EffectState{}, 0, false), 100, kRate) / 0.05), 0.0, 0.2);
    // The bass preset lifts 100 Hz by 10 dB: the effect element is in the path.
    EffectState bass;
    bass.eq = EqRecord(0x3FF, kBassPreset);
    EXPECT_GT(Db(Amplitude(render(bass, 0, false), 100, kRate) / 0.05), 9.0);
    // -2000 hundredths of a decibel are -20 dB; mute is silence.
    EXPECT_NEAR(Db(Amplitude(render(EffectState{}, -2000, false), 100, kRate) / 0.05), -20.0, 0.3);
    EXPECT_LT(Peak(render(EffectState{}, 0, true)), 1e-4f);
}

TEST_F(GstMediaControlTest, ThePictureShowsInsideTheMediaRectangleOnly) {
    // A red 16:9 picture on a 4:3 rectangle: bars above and below.
    ASSERT_TRUE(Encode("videotestsrc pattern=red num-buffers=45 ! video/x-raw,width=320,"
                       "height=180,framerate=15/1 ! theoraenc ! oggmux ! filesink location=" +
                       dir.File("red.ogv")));
    std::vector<std::uint32_t> surface(240 * 200, 0xFF2060A0u);
    host.SetSurface(surface.data(), 240, 200);
    host.ShowWindow(SW_SHOW);
    auto control = Make();
    control->PutFileName(dir.File("red.ogv"));
    ASSERT_EQ(control->GetHasPicture(), 1);
    control->ShowWindow(true);

    auto pixel = [&](int x, int y) {
        return host.Widget()->grab().toImage().pixel(x, y) & 0xFFFFFFu;
    };
    auto isRed = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; };
    Spin([&] { return isRed(pixel(100, 90)); });
    // The rectangle is (20,30)-(180,150); a 160-wide 16:9 picture is 90 high,
    // which leaves a black bar of 15 above and below.
    EXPECT_TRUE(isRed(pixel(100, 90)));
    EXPECT_TRUE(isRed(pixel(21, 50)));
    EXPECT_LT(qRed(pixel(100, 35)) + qGreen(pixel(100, 35)), 40);
    EXPECT_LT(qRed(pixel(100, 145)) + qGreen(pixel(100, 145)), 40);
    EXPECT_EQ(pixel(10, 90), 0x2060A0u); // outside: the window's own picture
    EXPECT_EQ(pixel(100, 155), 0x2060A0u);
    control.reset();
    host.SetSurface(nullptr, 0, 0);
}

} // namespace
