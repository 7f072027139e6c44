#include "dsp/pitch_shift.h"

#include <gtest/gtest.h>

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

TEST(PitchShift, KeepsTimeWithTheInput) {
    // A tone burst starting at 4 s comes out after the fixed lag: nothing
    // was dropped or added on the way, however long the stream ran.
    const int rate = 44100;
    for (int k : {-4, 4}) {
        std::vector<float> input(6 * rate, 0.0f);
        // A quiet steady tone before it keeps the grains busy.
        const auto bed = Sine(220, rate, 4 * rate, {0.01}), burst = Sine(300, rate, rate, {0.5});
        std::copy(burst.begin(), burst.end(), std::copy(bed.begin(), bed.end(), input.begin()));
        PitchShift ps;
        ps.Start(1, rate);
        const auto out = Shift(input, 1, rate, k);
        const auto onset =
            std::find_if(out.begin(), out.end(), [](float v) { return std::abs(v) >= 0.1f; });
        const double lag = (static_cast<double>(onset - out.begin()) - 4 * rate) / rate;
        EXPECT_GT(lag, 0.0) << "key " << k;
        EXPECT_LT(lag, (ps.LatencyFrames() + 0.05 * rate) / rate) << "key " << k;
    }
}

TEST(PitchShift, ZeroIsBitExact) {
    const auto input = Sine(440, 44100, 44100 / 4, {0.5, 0.3});
    EXPECT_EQ(Shift(input, 2, 44100, 0), input);

    // And again once a shift has faded out.
    PitchShift ps;
    ps.Start(2, 44100);
    ps.SetSemitones(3);
    auto block = input;
    ps.Process(block);
    ps.SetSemitones(0);
    block = input;
    ps.Process(block);
    EXPECT_TRUE(ps.Bypassed());
    block = input;
    ps.Process(block);
    EXPECT_EQ(block, input);
}

} // namespace
} // namespace mixora
