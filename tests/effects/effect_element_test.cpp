#include "platform/gst/effect_element.h"

#include <gst/check/gstharness.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "dsp/dsp_signals.h"
#include "dsp/environments.h"
#include "platform/effect_driver/effect_hub.h"

namespace mixora {
namespace {

using namespace dsp_test;

constexpr int kRate = 44100;

class EffectElement : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterEffectElement());
        GstElement* fx = gst_element_factory_make("mixoraeffects", nullptr);
        ASSERT_NE(fx, nullptr);
        g_object_set(fx, kEffectHubProperty, &hub, nullptr); // before it starts
        h = gst_harness_new_with_element(fx, "sink", "src");
        gst_object_unref(fx);
        gst_harness_set_src_caps_str(
            h, "audio/x-raw,format=F32LE,layout=interleaved,channels=2,rate=44100");
    }
    void TearDown() override {
        if (h) {
            gst_harness_teardown(h);
        }
    }

    // Pushes interleaved stereo through the element in decoder-sized buffers;
    // the left channel of what comes out.
    std::vector<float> Run(const std::vector<float>& input) {
        std::vector<float> out;
        for (std::size_t i = 0; i < input.size(); i += 2 * 4096) {
            const std::size_t n = std::min<std::size_t>(2 * 4096, input.size() - i);
            GstBuffer* in = gst_buffer_new_allocate(nullptr, n * sizeof(float), nullptr);
            gst_buffer_fill(in, 0, input.data() + i, n * sizeof(float));
            GstBuffer* result = gst_harness_push_and_pull(h, in);
            EXPECT_NE(result, nullptr);
            if (!result) {
                break;
            }
            GstMapInfo map;
            gst_buffer_map(result, &map, GST_MAP_READ);
            const auto* f = reinterpret_cast<const float*>(map.data);
            for (std::size_t k = 0; k < map.size / sizeof(float); k += 2) {
                out.push_back(f[k]);
            }
            gst_buffer_unmap(result, &map);
            gst_buffer_unref(result);
        }
        return out;
    }
    // What a flushing seek sends downstream before the sound at the new place.
    void Seek() {
        gst_harness_push_event(h, gst_event_new_flush_start());
        gst_harness_push_event(h, gst_event_new_flush_stop(TRUE));
        GstSegment segment;
        gst_segment_init(&segment, GST_FORMAT_TIME);
        gst_harness_push_event(h, gst_event_new_segment(&segment));
    }

    EffectHub hub;
    GstHarness* h = nullptr;
};

// A preset and an environment together, as a user would set them: the
// spectrum shows the preset and, once the music stops, the room rings on
// and dies away; after a seek nothing of the old room rings on.
TEST_F(EffectElement, RendersAPresetInAConcertHallAndASeekSilencesTheTail) {
    auto tone = Sine(100, kRate, kRate, {0.05, 0.05});
    const auto treble = Sine(10000, kRate, kRate, {0.05, 0.05});
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] += treble[i];
    }
    const std::vector<float> silence(2 * 2 * kRate, 0.0f);
    EffectState hall;
    hall.eq = EqRecord(0x3FF, kBassPreset);
    hall.listener = ListenerForEnvironment(7); // Concert Hall
    hall.eaxEnable = 1;
    hub.SetState(hall);

    const auto played = Run(tone);
    const auto after = Run(silence);
    ASSERT_EQ(played.size() + after.size(), static_cast<std::size_t>(3 * kRate));
    const auto steady = std::span(played).subspan(kRate / 4, kRate / 2);
    EXPECT_GT(Amplitude(steady, 100, kRate), Amplitude(steady, 10000, kRate) * 2.0);
    auto rms = [&](double from, double to) {
        return Rms(std::span(after).subspan(static_cast<std::size_t>(from * kRate),
                                            static_cast<std::size_t>((to - from) * kRate)));
    };
    const double early = rms(0.05, 0.35), late = rms(1.2, 1.5);
    EXPECT_GT(early, 1e-3);     // the hall rings after the tone has stopped
    EXPECT_LT(late, early / 4); // and dies away (a 3.9 s hall: about -13 dB in 1.2 s)

    Run(tone);
    Seek();
    const auto sought = Run(silence);
    EXPECT_LT(Peak(sought), 1e-6f);
}

// Key shift delays the sound; the element reports that delay, the same for
// every key, so a sink can hold the picture back to match.
TEST_F(EffectElement, ReportsTheKeyShiftDelayAsItsLatency) {
    auto latencyMs = [&] {
        return static_cast<double>(gst_harness_query_latency(h)) / GST_MSECOND;
    };
    const double off = latencyMs();
    EffectState s;
    std::vector<double> reported;
    for (int key : {-4, -1, 1, 3, 4}) {
        s.pitchShift = key;
        hub.SetState(s);
        Run(std::vector<float>(2 * 64, 0.0f)); // the state is picked up with a buffer
        reported.push_back(latencyMs() - off);
    }
    EXPECT_GT(reported[0], 10.0);
    EXPECT_LT(reported[0], 50.0);
    EXPECT_TRUE(std::all_of(reported.begin(), reported.end(),
                            [&](double ms) { return ms == reported[0]; }));
    hub.SetState(EffectState{});
    Run(std::vector<float>(2 * 64, 0.0f));
    EXPECT_EQ(latencyMs(), off);
}

} // namespace
} // namespace mixora
