#include "dsp/pitch_shift.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "dsp/dsp_signals.h"

namespace mixora {
namespace {

using namespace dsp_test;

// Runs `input` through a shifter at `semitones`, in 441-frame blocks.
std::vector<float> Shift(std::vector<float> input, int channels, int rate, int semitones) {
    PitchShift ps;
    ps.Start(channels, rate);
    ps.SetSemitones(semitones);
    ps.Flush(); // start at the key, no fade in
    const std::size_t block = 441 * channels;
    for (std::size_t i = 0; i < input.size(); i += block) {
        ps.Process(std::span(input).subspan(i, std::min(block, input.size() - i)));
    }
    return input;
}

TEST(PitchShift, MovesA440ToneByTheKey) {
    for (int rate : {44100, 48000}) {
        for (int k : {-4, -1, 1, 4}) {
            const auto out = Shift(Sine(440, rate, 2 * rate, {0.5, 0.5}), 2, rate, k);
            const double expected = 440.0 * std::pow(2.0, k / 12.0);
            for (int ch = 0; ch < 2; ++ch) {
                // One second of steady output, after the start-up lag.
                const auto steady = Channel(out, 2, ch);
                const auto x = std::span(steady).subspan(rate / 2, rate);
                EXPECT_NEAR(ZeroCrossingFrequency(x, rate), expected, expected * 0.005)
                    << "key " << k << " at " << rate << " Hz";
                // ...and it is the tone, at its level, not a beating mixture.
                EXPECT_NEAR(Db(Amplitude(x, expected, rate) / 0.5), 0.0, 1.5);
            }
        }
    }
}

TEST(PitchShift, EveryKeyDelaysTheSoundByTheSameReportedLatency) {
    // Noise bursts every 200 ms; the lag is where the energy of each burst
    // comes out (its centroid), averaged over the bursts.
    const int rate = 44100, period = rate / 5, burst = rate / 50;
    const auto noise = Noise(static_cast<std::size_t>(4 * rate));
    std::vector<float> input(noise.size(), 0.0f);
    for (int at = 0; at + period <= 4 * rate; at += period) {
        for (int i = 0; i < burst; ++i) {
            input[at + i] =
                noise[at + i] * static_cast<float>(std::sin(std::numbers::pi * i / burst));
        }
    }
    PitchShift ps;
    ps.Start(1, rate);
    const double reported = 1000.0 * ps.LatencyFrames() / rate;
    double lowest = 1e9, highest = -1e9;
    for (int k : {-4, -3, -2, -1, 1, 2, 3, 4}) {
        const auto out = Shift(input, 1, rate, k);
        double lagSum = 0.0;
        int bursts = 0;
        for (int at = period; at + period <= 4 * rate; at += period, ++bursts) {
            double e = 0.0, et = 0.0;
            for (int i = 0; i < period * 3 / 4; ++i) {
                const double v = static_cast<double>(out[at + i]) * out[at + i];
                e += v, et += v * i;
            }
            lagSum += et / e - burst / 2.0;
        }
        const double lag = 1000.0 * lagSum / bursts / rate;
        lowest = std::min(lowest, lag), highest = std::max(highest, lag);
        EXPECT_NEAR(lag, reported, 2.0) << "key " << k;
    }
    std::printf("figure: key-shift lag %.1f..%.1f ms, reported %.1f ms\n", lowest, highest,
                reported);
}

} // namespace
} // namespace mixora
