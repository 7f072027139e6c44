// What a listener hears from the whole chain on generated signals (no click
// on any change, no level blow-up, nothing past full scale, no denormals),
// its bypass, its flush and the hand-off of new states from another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "dsp/dsp_signals.h"
#include "dsp/effect_chain.h"
#include "dsp/environments.h"

namespace mixora {
namespace {

using namespace dsp_test;

constexpr int kRate = 44100;
constexpr std::size_t kBlock = 441; // frames per call

EffectState Room(int environment) {
    EffectState s;
    s.listener = ListenerForEnvironment(environment);
    s.eaxEnable = 1;
    return s;
}

// Runs stereo `input` through `chain` in blocks, applying states[k] at
// frame changes[k]; the input is overwritten with the output.
void RunChain(EffectChain& chain, std::vector<float>& io,
              const std::vector<EffectState>& states = {},
              const std::vector<std::size_t>& changes = {}) {
    std::size_t next = 0;
    for (std::size_t f = 0; f < io.size() / 2; f += kBlock) {
        while (next < changes.size() && changes[next] <= f) {
            chain.SetState(states[next++]);
        }
        chain.Process(std::span(io).subspan(2 * f, std::min(2 * kBlock, io.size() - 2 * f)));
    }
}

// Energy above 5 kHz in consecutive 5 ms windows of one channel: a
// fourth-order Butterworth high pass (two cookbook sections, Q 0.541/1.307).
std::vector<double> HighBandEnergy(const std::vector<float>& x, int channel) {
    std::vector<float> y = Channel(x, 2, channel);
    Cookbook(y, true, 5000.0, 0.54119610, kRate);
    Cookbook(y, true, 5000.0, 1.30656296, kRate);
    std::vector<double> windows(y.size() / 220, 0.0);
    for (std::size_t i = 0; i < windows.size() * 220; ++i) {
        windows[i / 220] += static_cast<double>(y[i]) * y[i];
    }
    return windows;
}

TEST(ChainFidelity, NoChangeClicksOrSpraysHighFrequencies) {
    // Environment on and off for each room, every room to every other,
    // then equalizer, key shift and voice cancellation changes.
    std::vector<EffectState> states;
    for (int e = 0; e < kEnvironmentCount; ++e) {
        states.push_back(Room(e));
        states.push_back(EffectState{});
    }
    for (int a = 0; a < kEnvironmentCount; ++a) {
        states.push_back(Room(a));
        for (int b = a + 1; b < kEnvironmentCount; ++b) {
            states.push_back(Room(b));
            states.push_back(Room(a));
        }
    }
    EffectState s;
    for (auto step : {1, 2, 3, 4, 5, 6, 7}) {
        s.eq = EqRecord(step == 7 ? 0 : 0x3FF, kPresetSliders[step % 3 * 3]);
        s.pitchShift = step < 4 ? 0 : step - 8;
        s.voiceCancel = step % 2;
        states.push_back(s);
    }
    states.push_back(EffectState{});
    const std::size_t dwell = kRate * 3 / 20; // 150 ms
    std::vector<std::size_t> changes;
    for (std::size_t k = 0; k < states.size(); ++k) {
        changes.push_back((k + 1) * dwell);
    }
    auto io = Sine(220, kRate, static_cast<int>((states.size() + 1) * dwell), {0.5, 0.5});
    const float dryStep = MaxStep(io, 2);
    EffectChain chain;
    chain.Start(2, kRate);
    RunChain(chain, io, states, changes);

    // Per change: the largest step and high-band energy in the 90 ms after
    // it, against the signal's own (the dry tone, the tone at its level in
    // those 90 ms, 40 ms before, 90-140 ms after); high-band energy 60 dB
    // under the tone counts as silence. Changes that drive the output past
    // the limiter's -1 dBFS are counted apart, held to the same bar.
    struct Worst {
        float step = 0.0f, hf = 0.0f;
        int count = 0;
    } clean, limited;
    const std::size_t w = kRate / 1000;
    for (int ch = 0; ch < 2; ++ch) {
        const auto hf = HighBandEnergy(io, ch);
        const auto x = Channel(io, 2, ch);
        auto step = [&](std::size_t from, std::size_t ms) {
            return MaxStep(std::span(x).subspan(from, ms * w), 1);
        };
        auto hfMax = [&](std::size_t from, std::size_t ms) {
            return *std::max_element(hf.begin() + from / 220, hf.begin() + (from + ms * w) / 220);
        };
        for (std::size_t at : changes) {
            // A 220 Hz tone steps by up to its amplitude times 2 pi 220 / rate;
            // while the rooms cross over it may swell, which is no click.
            const float swell = static_cast<float>(2.0 * std::numbers::pi * 220.0 / kRate) *
                                Peak(std::span(x).subspan(at, 90 * w));
            const float own =
                std::max({dryStep, swell, step(at - 40 * w, 40), step(at + 90 * w, 50)});
            const double ownHf =
                std::max({1e-6 * 0.125 * 220, hfMax(at - 40 * w, 40), hfMax(at + 90 * w, 50)});
            Worst& worst =
                Peak(std::span(x).subspan(at - 40 * w, 180 * w)) > 0.891f ? limited : clean;
            worst.step = std::max(worst.step, step(at, 90) / own);
            worst.hf = std::max(worst.hf, static_cast<float>(hfMax(at, 90) / ownHf));
            worst.count += ch == 0 ? 1 : 0;
        }
    }
    std::printf("figure: %d changes, worst step %.2fx, high band %+.1f dB; %d past the limiter's "
                "threshold: %.2fx, %+.1f dB\n",
                clean.count, clean.step, 10.0 * std::log10(clean.hf), limited.count, limited.step,
                10.0 * std::log10(limited.hf));
    for (const Worst& worst : {clean, limited}) {
        EXPECT_LE(worst.step, 1.5f);
        EXPECT_LE(10.0 * std::log10(worst.hf), 6.0);
    }
}

TEST(ChainFidelity, PinkNoiseKeepsItsLevelAndNothingPassesFullScale) {
    const std::size_t frames = 3 * kRate;
    const auto left = Pink(frames, 0.1, 1), right = Pink(frames, 0.1, 2); // -20 dBFS RMS
    std::vector<float> pink(2 * frames);
    for (std::size_t i = 0; i < frames; ++i) {
        pink[2 * i] = left[i], pink[2 * i + 1] = right[i];
    }
    double loudest = -100.0;
    float peak = 0.0f;
    std::array<int, 10> up{};
    up.fill(1200);
    for (int e = 0; e < kEnvironmentCount; ++e) {
        // The room alone (its level), with a built-in preset, with every
        // band at +12 dB.
        for (int variant : {0, 1, 2}) {
            EffectState s = Room(e);
            s.eq = EqRecord(variant ? 0x3FF : 0, variant == 2 ? up : kPresetSliders[e % 15]);
            EffectChain chain;
            chain.SetState(s);
            chain.Start(2, kRate);
            auto io = pink;
            RunChain(chain, io);
            peak = std::max(peak, Peak(io));
            if (variant == 0) {
                const double gain = Db(Rms(std::span(io).subspan(2 * kRate)) / 0.1);
                loudest = std::max(loudest, gain);
                EXPECT_LE(gain, 6.0) << Environments()[e].name;
            }
        }
    }
    // A full-scale tone with one band at +12 dB.
    EffectChain chain;
    EffectState s;
    s.eq = EqRecord(0x3FF, {0, 0, 0, 0, 1200, 0, 0, 0, 0, 0});
    chain.SetState(s);
    chain.Start(2, kRate);
    auto tone = Sine(1000, kRate, kRate, {1.0, 1.0});
    RunChain(chain, tone);
    peak = std::max(peak, Peak(tone));
    std::printf("figure: loudest room %+.1f dB, highest peak %+.2f dBFS\n", loudest, Db(peak));
    EXPECT_LE(peak, 1.0f);
}

// Residual after removing the best-fitting sine at `f` (and DC), relative to it.
double ThdPlusNoiseDb(std::span<const float> x, double f) {
    double ss = 0, sc = 0, cc = 0, xs = 0, xc = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double p = 2.0 * std::numbers::pi * f * static_cast<double>(i) / kRate;
        const double s = std::sin(p), c = std::cos(p);
        ss += s * s, sc += s * c, cc += c * c, xs += x[i] * s, xc += x[i] * c;
    }
    const double det = ss * cc - sc * sc;
    const double a = (xs * cc - xc * sc) / det, b = (xc * ss - xs * sc) / det;
    double fit = 0, residual = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double p = 2.0 * std::numbers::pi * f * static_cast<double>(i) / kRate;
        const double m = a * std::sin(p) + b * std::cos(p);
        fit += m * m, residual += (x[i] - m) * (x[i] - m);
    }
    return 10.0 * std::log10(residual / fit);
}

TEST(ChainFidelity, TheLimiterLeavesLoudMusicBelowItsThresholdAlone) {
    // +6 dB at 1 kHz brings the tone to -7 dBFS, 6 dB under the -1 dBFS
    // threshold.
    EffectState s;
    s.eq = EqRecord(0x3FF, {0, 0, 0, 0, 600, 0, 0, 0, 0, 0});
    EffectChain chain;
    chain.SetState(s);
    chain.Start(2, kRate);
    auto tone = Sine(1000, kRate, kRate, {0.2233, 0.2233});
    RunChain(chain, tone);
    const auto left = Channel(tone, 2, 0);
    const double thd = ThdPlusNoiseDb(std::span(left).subspan(kRate / 2), 1000.0);
    std::printf("figure: THD+N 6 dB under the threshold %.1f dB\n", thd);
    EXPECT_NEAR(Db(Peak(left)), -7.0, 0.2);
    EXPECT_LT(thd, -80.0);
}

TEST(EffectChain, EverythingOffIsBitExactAndSilenceAfterMusicHasNoDenormals) {
    EffectChain chain;
    chain.Start(2, kRate);
    const auto input = Noise(2 * kRate / 10, 3);
    auto block = input;
    chain.Process(block);
    EXPECT_EQ(block, input);
    // Sliders set but the equalizer off, or on with every slider at 0.
    for (std::uint32_t mask : {0u, 0x3FFu}) {
        EffectState eq;
        eq.eq = EqRecord(mask, mask ? std::array<int, 10>{} : kPresetSliders[0]);
        chain.SetState(eq);
        block = input;
        chain.Process(block);
        EXPECT_EQ(block, input) << mask;
    }

    // Every effect on: music, then silence in which the filters' states sink
    // through the denormal range (Padded Cell: a short tail).
    EffectState all;
    all.eq = EqRecord(0x3FF, kPresetSliders[0]);
    all.voiceCancel = 1;
    all.pitchShift = 2;
    all.listener = ListenerForEnvironment(1);
    all.eaxEnable = 1;
    chain.SetState(all);
    auto io = Noise(2 * kRate, 3); // begins as `input` does
    io.resize(12 * kRate, 0.0f);
    RunChain(chain, io);
    EXPECT_NE(std::vector<float>(io.begin(), io.begin() + input.size()), input);
    const auto subnormal = std::count_if(
        io.begin(), io.end(), [](float v) { return std::fpclassify(v) == FP_SUBNORMAL; });
    std::printf("figure: %zd subnormal samples\n", static_cast<std::ptrdiff_t>(subnormal));
    EXPECT_EQ(subnormal, 0);
    // All off again: bit-exact once the fades are over.
    chain.SetState(EffectState{});
    for (int i = 0; i < 3; ++i) {
        block = input;
        chain.Process(block);
    }
    EXPECT_EQ(block, input);
}

TEST(EffectChain, StartsAtTheStateAlreadySetAndASeekDropsTheTail) {
    EffectChain chain;
    EffectState s;
    s.pitchShift = 4;
    chain.SetState(s);
    chain.Start(1, kRate);
    EXPECT_EQ(chain.AppliedState().pitchShift, 4);

    // Hangar rings for seconds; after a flush (a seek) silence stays silent.
    s = EffectState{};
    s.listener = ListenerForEnvironment(10);
    s.eaxEnable = 1;
    chain.SetState(s);
    auto music = Noise(kRate);
    chain.Process(music);
    chain.Flush();
    std::vector<float> silence(kRate / 10, 0.0f);
    chain.Process(silence);
    EXPECT_LT(Peak(silence), 1e-12f);
}

// A state whose every field is derived from n, so a torn copy shows.
EffectState Numbered(int n) {
    EffectState s;
    s.eq = EqRecord(n % 2 ? 0x3FF : 0, {n % 1200, -(n % 1200), 0, 0, 0, 0, 0, 0, 0, n % 1200});
    s.listener.lRoom = -n;
    s.listener.dwEnvironment = static_cast<std::uint32_t>(n % 26);
    s.voiceCancel = n;
    s.pitchShift = n % 9 - 4;
    return s;
}

TEST(EffectChain, HandOffFromAnotherThreadOnlyAppliesWholeStates) {
    EffectChain chain;
    chain.Start(2, kRate);
    std::atomic<bool> done{false};
    std::atomic<int> published{0};
    std::thread ui([&] {
        for (int n = 1; !done.load(); ++n) {
            chain.SetState(Numbered(n));
            published = n;
        }
    });

    const auto signal = Sine(440, kRate, 256, {0.3, 0.3});
    int last = 0, changes = 0;
    bool whole = true, ordered = true;
    // Until enough hand-overs were seen, not for a fixed time: a loaded
    // machine or ThreadSanitizer runs far fewer blocks in the same time.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (changes <= 10 && std::chrono::steady_clock::now() < until) {
        auto block = signal;
        chain.Process(block);
        const EffectState& applied = chain.AppliedState();
        if (const int n = applied.voiceCancel; n != last) {
            const EffectState expected = Numbered(n);
            whole = whole && applied.eq == expected.eq &&
                    applied.listener.lRoom == expected.listener.lRoom &&
                    applied.listener.dwEnvironment == expected.listener.dwEnvironment &&
                    applied.pitchShift == expected.pitchShift;
            ordered = ordered && n > last;
            last = n;
            ++changes;
        }
    }
    done = true;
    ui.join();
    EXPECT_TRUE(whole);
    EXPECT_TRUE(ordered);
    EXPECT_GT(changes, 10);

    // The last state published is the one applied at the next block.
    auto block = signal;
    chain.Process(block);
    EXPECT_EQ(chain.AppliedState().voiceCancel, published.load());
}

} // namespace
} // namespace mixora
