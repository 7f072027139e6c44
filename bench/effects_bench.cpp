// Real-time factor of the software effect driver at 44.1 kHz stereo: how
// many seconds of audio one core runs through the chain per second. The
// "rtf" counter is that figure; 100 means 1% of a core while playing.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "dsp/effect_chain.h"
#include "dsp/environments.h"

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

BENCHMARK(BM_WholeChain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Equalizer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoiceCancel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyShift)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reverb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllOff)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
