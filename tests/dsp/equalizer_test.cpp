#include "dsp/equalizer.h"

#include <gtest/gtest.h>

#include "dsp/dsp_signals.h"

namespace mixora {
namespace {

using namespace dsp_test;

// Runs `input` through an equalizer holding `record`, in 512-frame blocks.
std::vector<float> Equalize(const std::array<std::uint8_t, 120>& record, std::vector<float> input,
                            int channels, int rate) {
    Equalizer eq;
    eq.Start(channels, rate);
    eq.SetRecord(record);
    for (std::size_t i = 0; i < input.size(); i += 512 * channels) {
        eq.Process(
            std::span(input).subspan(i, std::min<std::size_t>(512 * channels, input.size() - i)));
    }
    return input;
}

TEST(Equalizer, EachBandAloneGivesItsGainAtItsCentre) {
    for (int rate : {44100, 48000}) {
        for (int band = 0; band < 10; ++band) {
            for (int gain : {1200, -1200}) {
                std::array<int, 10> gains{};
                gains[band] = gain;
                const double f = kEqBandFrequencies[band];
                const auto out =
                    Equalize(EqRecord(0x3FF, gains), Sine(f, rate, rate / 2, {0.25}), 1, rate);
                // Steady state: the last 0.2 s.
                EXPECT_NEAR(Db(Amplitude(std::span(out).last(rate / 5), f, rate) / 0.25),
                            gain / 100.0, 0.25)
                    << "band " << f << " Hz at " << rate << " Hz";
            }
        }
    }
}

TEST(Equalizer, NothingToFilterLeavesSamplesBitExact) {
    const auto input = Noise(2 * 4410);
    EXPECT_EQ(Equalize(EqRecord(0, kBassPreset), input, 2, 44100), input) << "mask 0, gains set";
    EXPECT_EQ(Equalize(EqRecord(0x3FF, {}), input, 2, 44100), input) << "on, every band flat";
    // 16 kHz boosted: nothing to do where that is at or above Nyquist.
    const std::array<int, 10> top = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1200};
    EXPECT_EQ(Equalize(EqRecord(0x3FF, top), input, 1, 32000), input);
    EXPECT_NE(Equalize(EqRecord(0x3FF, top), input, 1, 44100), input);

    // Switched off while running: after the fade it is bit-exact again.
    Equalizer eq;
    eq.Start(2, 44100);
    eq.SetRecord(EqRecord(0x3FF, kBassPreset));
    auto block = input;
    eq.Process(block);
    EXPECT_NE(block, input);
    eq.SetRecord(EqRecord(0, kBassPreset));
    block = input;
    eq.Process(block); // 100 ms: the 20 ms fade is over
    EXPECT_TRUE(eq.Bypassed());
    block = input;
    eq.Process(block);
    EXPECT_EQ(block, input);
}

TEST(Equalizer, ReadsGainsFromTheRecordClamped) {
    const auto record = EqRecord(0x3FF, {1, -2, 3, -4, 5, -6, 7, -8, 1500, -1500});
    EXPECT_EQ(Equalizer::BandGains(record),
              (std::array<int, 10>{1, -2, 3, -4, 5, -6, 7, -8, 1200, -1200}));
    EXPECT_EQ(Equalizer::EnableMask(record), 0x3FFu);
}

TEST(Equalizer, GainChangeIsHeardWithin50MsWithoutAClick) {
    const int rate = 44100;
    const double f = 1000.0;
    Equalizer eq;
    eq.Start(1, rate);
    eq.SetRecord(EqRecord(0x3FF, {}));
    auto signal = Sine(f, rate, rate, {0.25});
    const int change = rate / 4;
    eq.Process(std::span(signal).first(change));
    eq.SetRecord(EqRecord(0x3FF, {0, 0, 0, 0, -1200, 0, 0, 0, 0, 0}));
    eq.Process(std::span(signal).subspan(change));

    // 50 ms after the change the new gain is there.
    EXPECT_NEAR(
        Db(Amplitude(std::span(signal).subspan(change + rate / 20, rate / 10), f, rate) / 0.25),
        -12.0, 0.5);
    // The glide never steps harder than the tone itself moves.
    const float toneStep = static_cast<float>(2 * std::numbers::pi * f / rate * 0.25);
    EXPECT_LT(MaxStep(signal, 1), toneStep * 1.1f);
}

} // namespace
} // namespace mixora
