#include "platform/gst/effect_element.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "dsp/dsp_signals.h"
#include "dsp/environments.h"
#include "fakes/temp_dir.h"
#include "platform/effect_driver/effect_hub.h"

namespace mixora {
namespace {

using namespace dsp_test;

constexpr int kRate = 44100;

// Mono channels of a 16-bit stereo RIFF WAVE file, as floats.
struct Wave {
    int channels = 0;
    int rate = 0;
    std::vector<float> samples; // interleaved
};

std::uint32_t Le32(const char* p) {
    std::uint32_t v = 0;
    std::memcpy(&v, p, 4);
    return v;
}

Wave ReadWave(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    Wave w;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return w;
    }
    std::size_t pos = 12;
    int bits = 0;
    while (pos + 8 <= bytes.size()) {
        const std::string id = bytes.substr(pos, 4);
        const std::uint32_t size = Le32(bytes.data() + pos + 4);
        const char* body = bytes.data() + pos + 8;
        if (id == "fmt ") {
            std::uint16_t ch = 0, b = 0;
            std::memcpy(&ch, body + 2, 2);
            std::memcpy(&b, body + 14, 2);
            w.channels = ch;
            w.rate = static_cast<int>(Le32(body + 4));
            bits = b;
        } else if (id == "data" && bits == 16) {
            const std::size_t n = std::min<std::size_t>(size, bytes.size() - pos - 8) / 2;
            w.samples.resize(n);
            for (std::size_t i = 0; i < n; ++i) {
                std::int16_t s = 0;
                std::memcpy(&s, body + 2 * i, 2);
                w.samples[i] = s / 32768.0f;
            }
        }
        pos += 8 + size + (size & 1);
    }
    return w;
}

// Plays `input` (F32 stereo) through mixoraeffects into a 16-bit WAV file.
bool Render(const std::vector<float>& input, const std::string& path, EffectHub& hub) {
    std::string description =
        "appsrc name=src format=time caps=audio/x-raw,format=F32LE,layout=interleaved,"
        "channels=2,rate=44100 ! audioconvert ! mixoraeffects name=fx ! audioconvert ! "
        "audio/x-raw,format=S16LE ! wavenc ! filesink location=\"" +
        path + "\"";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (!pipeline) {
        ADD_FAILURE() << (error ? error->message : "no pipeline");
        g_clear_error(&error);
        return false;
    }
    GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    GstElement* fx = gst_bin_get_by_name(GST_BIN(pipeline), "fx");
    g_object_set(fx, kEffectHubProperty, &hub, nullptr);
    gst_object_unref(fx);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    // Several buffers, as a decoder would deliver them.
    const std::size_t chunk = 2 * 4096;
    for (std::size_t i = 0; i < input.size(); i += chunk) {
        const std::size_t n = std::min(chunk, input.size() - i);
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, n * sizeof(float), nullptr);
        gst_buffer_fill(buffer, 0, input.data() + i, n * sizeof(float));
        GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(i / 2, GST_SECOND, kRate);
        GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(n / 2, GST_SECOND, kRate);
        // Signals rather than the appsrc library: the element needs no more.
        GstFlowReturn flow = GST_FLOW_OK;
        g_signal_emit_by_name(src, "push-buffer", buffer, &flow);
        gst_buffer_unref(buffer);
    }
    GstFlowReturn flow = GST_FLOW_OK;
    g_signal_emit_by_name(src, "end-of-stream", &flow);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, 10 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg && !ok) {
        GError* err = nullptr;
        gst_message_parse_error(msg, &err, nullptr);
        ADD_FAILURE() << (err ? err->message : "pipeline error");
        g_clear_error(&err);
    }
    if (msg) {
        gst_message_unref(msg);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(src);
    gst_object_unref(pipeline);
    return ok;
}

class EffectElement : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(RegisterEffectElement()); }
    EffectHub hub;
};

// A preset and an environment together, as a user would set them: the
// spectrum shows the preset and, once the music stops, the room rings on
// and dies away.
TEST_F(EffectElement, RendersAPresetInAConcertHall) {
    TempDir dir;
    auto input = Sine(100, kRate, kRate, {0.05, 0.05});
    const auto treble = Sine(10000, kRate, kRate, {0.05, 0.05});
    for (std::size_t i = 0; i < input.size(); ++i) {
        input[i] += treble[i];
    }
    input.resize(input.size() + 2 * 2 * kRate, 0.0f); // two seconds of silence after it

    EffectState hall;
    hall.eq = EqRecord(0x3FF, kBassPreset);
    hall.listener = ListenerForEnvironment(7); // Concert Hall
    hall.eaxEnable = 1;
    hub.SetState(hall);
    ASSERT_TRUE(Render(input, dir.File("hall.wav"), hub));
    const Wave out = ReadWave(dir.File("hall.wav"));
    ASSERT_EQ(out.samples.size(), input.size());

    const auto left = Channel(out.samples, 2, 0);
    const auto tone = std::span(left).subspan(kRate / 4, kRate / 2);
    EXPECT_GT(Amplitude(tone, 100, kRate), Amplitude(tone, 10000, kRate) * 2.0);
    auto rms = [&](double from, double to) {
        return Rms(std::span(left).subspan(static_cast<std::size_t>(from * kRate),
                                           static_cast<std::size_t>((to - from) * kRate)));
    };
    const double early = rms(1.05, 1.35), late = rms(2.2, 2.5);
    EXPECT_GT(early, 1e-3);     // the hall rings after the tone has stopped
    EXPECT_LT(late, early / 4); // and dies away (a 3.9 s hall: about -13 dB in 1.2 s)
}

// Key shift delays the sound; the element reports that delay, the same for
// every key, so a sink can hold the picture back to match.
TEST_F(EffectElement, ReportsTheKeyShiftDelayAsItsLatency) {
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(
        "audiotestsrc ! audio/x-raw,format=F32LE,rate=44100,channels=2 ! mixoraeffects name=fx ! "
        "fakesink",
        &error);
    ASSERT_NE(pipeline, nullptr) << (error ? error->message : "");
    GstElement* fx = gst_bin_get_by_name(GST_BIN(pipeline), "fx");
    g_object_set(fx, kEffectHubProperty, &hub, nullptr);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    gst_element_get_state(pipeline, nullptr, nullptr, 5 * GST_SECOND);
    GstPad* src = gst_element_get_static_pad(fx, "src");
    auto latencyMs = [&] {
        GstQuery* query = gst_query_new_latency();
        EXPECT_TRUE(gst_pad_query(src, query));
        GstClockTime min = 0;
        gst_query_parse_latency(query, nullptr, &min, nullptr);
        gst_query_unref(query);
        return static_cast<double>(min) / GST_MSECOND;
    };
    const double upstream = latencyMs(); // the source's own, with key shift off
    EffectState s;
    std::vector<double> reported;
    for (int key : {-4, -1, 1, 3, 4}) {
        s.pitchShift = key;
        hub.SetState(s);
        reported.push_back(latencyMs() - upstream);
    }
    EXPECT_GT(reported[0], 10.0);
    EXPECT_LT(reported[0], 50.0);
    EXPECT_TRUE(std::all_of(reported.begin(), reported.end(),
                            [&](double ms) { return ms == reported[0]; }));
    hub.SetState(EffectState{});
    EXPECT_EQ(latencyMs(), upstream);
    gst_object_unref(src);
    gst_object_unref(fx);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
}

} // namespace
} // namespace mixora
