// Real-time factor of the software effect driver at 44.1 kHz stereo: how
// many seconds of audio one core runs through the chain per second. The
// "rtf" counter is that figure; 100 means 1% of a core while playing.
//
// BM_Pipeline_* play the same 60 s stereo WAV file through GStreamer as fast
// as it goes: once through "mixoraeffects" with everything on, once through
// the stock elements doing similar work (10-band equalizer, karaoke, pitch,
// freeverb), once with no effect at all. The Mixora pipeline should be at
// least as fast as the stock one.
#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "dsp/effect_chain.h"
#include "dsp/environments.h"
#include "platform/effect_driver/effect_hub.h"
#include "platform/gst/effect_element.h"

using namespace mixora;

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 1024; // frames per call, as a decoder hands them over

// One second of music-like stereo: two tones and some noise, different per side.
std::vector<float> TestSignal() {
    std::mt19937 gen(1);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    std::vector<float> x(2 * kRate);
    for (int i = 0; i < kRate; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double voice = 0.3 * std::sin(2 * std::numbers::pi * 440 * t);
        x[2 * i] =
            static_cast<float>(voice + 0.2 * std::sin(2 * std::numbers::pi * 110 * t)) + noise(gen);
        x[2 * i + 1] =
            static_cast<float>(voice + 0.2 * std::sin(2 * std::numbers::pi * 165 * t)) + noise(gen);
    }
    return x;
}

EffectState Everything(bool eq, bool voice, bool key, bool reverb) {
    constexpr std::array<int, 10> bass = {1000, 900, 800, 320, 0, -320, -500, -670, -800, -800};
    EffectState s;
    if (eq) {
        s.eq[0] = 0xFF;
        s.eq[1] = 0x03;
        for (int b = 0; b < 10; ++b) {
            const auto v = static_cast<std::uint32_t>(bass[b]);
            for (int k = 0; k < 4; ++k) {
                s.eq[kEqBandOffsets[b] + k] = static_cast<std::uint8_t>(v >> (8 * k));
            }
        }
    }
    s.voiceCancel = voice ? 1 : 0;
    s.pitchShift = key ? 2 : 0;
    s.listener = ListenerForEnvironment(7); // Concert Hall
    s.eaxEnable = reverb ? 1 : 0;
    return s;
}

void RunChain(benchmark::State& state, const EffectState& settings) {
    EffectChain chain;
    chain.SetState(settings);
    chain.Start(2, kRate);
    const auto source = TestSignal();
    std::vector<float> work(source.size());
    for (auto _ : state) {
        work = source;
        for (std::size_t i = 0; i < work.size(); i += 2 * kBlock) {
            const std::size_t n = std::min<std::size_t>(2 * kBlock, work.size() - i);
            chain.Process(std::span(work).subspan(i, n));
        }
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    // One second of audio per iteration.
    state.counters["rtf"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

static void BM_WholeChain(benchmark::State& state) {
    RunChain(state, Everything(true, true, true, true));
}
static void BM_Equalizer(benchmark::State& state) {
    RunChain(state, Everything(true, false, false, false));
}
static void BM_VoiceCancel(benchmark::State& state) {
    RunChain(state, Everything(false, true, false, false));
}
static void BM_KeyShift(benchmark::State& state) {
    RunChain(state, Everything(false, false, true, false));
}
static void BM_Reverb(benchmark::State& state) {
    RunChain(state, Everything(false, false, false, true));
}
static void BM_AllOff(benchmark::State& state) {
    RunChain(state, EffectState{});
}

// 60 s of the test signal as a 16-bit stereo WAV file, written once.
const std::string& WaveFile() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "mixora_bench_60s.wav";
        const auto second = TestSignal();
        const std::uint32_t bytes = 60u * kRate * 4u;
        std::ofstream out(file, std::ios::binary);
        auto put = [&](std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i) {
                out.put(static_cast<char>(v >> (8 * i)));
            }
        };
        out.write("RIFF", 4), put(36 + bytes, 4), out.write("WAVEfmt ", 8);
        put(16, 4), put(1, 2), put(2, 2), put(kRate, 4), put(kRate * 4, 4), put(4, 2), put(16, 2);
        out.write("data", 4), put(bytes, 4);
        for (int s = 0; s < 60; ++s) {
            for (float v : second) {
                put(static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 32767.0f)), 2);
            }
        }
        return file.string();
    }();
    return path;
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Plays the WAV file through `effects` into a fakesink, as fast as it goes.
void RunPipeline(benchmark::State& state, const std::string& effects, EffectHub* hub = nullptr) {
    RegisterEffectElement();
    const std::string description = "filesrc location=\"" + WaveFile() +
                                    "\" ! wavparse ! audioconvert ! "
                                    "audio/x-raw,format=F32LE ! " +
                                    effects + " ! fakesink sync=false";
    for (auto _ : state) {
        GError* error = nullptr;
        GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
        if (!pipeline) {
            state.SkipWithError(error ? error->message : "no pipeline");
            g_clear_error(&error);
            return;
        }
        if (hub) {
            GstElement* fx = gst_bin_get_by_name(GST_BIN(pipeline), "fx");
            g_object_set(fx, kEffectHubProperty, hub, nullptr);
            gst_object_unref(fx);
        }
        // Processor time of every thread of the process: the machine may be
        // busy with other work, which would skew a wall-clock figure.
        const double start = CpuSeconds();
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* msg = gst_bus_timed_pop_filtered(
            bus, GST_CLOCK_TIME_NONE,
            static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        const bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
        state.SetIterationTime(CpuSeconds() - start);
        if (msg) {
            gst_message_unref(msg);
        }
        gst_object_unref(bus);
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
        if (!ok) {
            state.SkipWithError("pipeline failed");
            return;
        }
    }
    state.counters["rtf"] = benchmark::Counter(60.0, benchmark::Counter::kIsIterationInvariantRate);
}

static void BM_Pipeline_Mixora(benchmark::State& state) {
    EffectHub hub;
    hub.SetState(Everything(true, true, true, true));
    RunPipeline(state, "mixoraeffects name=fx", &hub);
}
static void BM_Pipeline_Stock(benchmark::State& state) {
    // The Bass preset's bands (the stock bands sit at 29 Hz..15 kHz, an
    // octave apart), karaoke, two semitones up, a medium room.
    RunPipeline(state, "equalizer-10bands band0=10 band1=10 band2=9 band3=8 band4=3.2 band5=0 "
                       "band6=-3.2 band7=-5 band8=-6.7 band9=-8 ! audiokaraoke ! "
                       "pitch pitch=1.122462 ! freeverb");
}
static void BM_Pipeline_NoEffect(benchmark::State& state) {
    RunPipeline(state, "identity");
}

BENCHMARK(BM_Pipeline_Mixora)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pipeline_Stock)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pipeline_NoEffect)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeChain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Equalizer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoiceCancel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyShift)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reverb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllOff)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
