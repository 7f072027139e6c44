#include "dsp/equalizer.h"

#include <gtest/gtest.h>

#include <cstdio>

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

TEST(Equalizer, NothingToFilterLeavesSamplesBitExact) {
    const auto input = Noise(2 * 4410);
    EXPECT_EQ(Equalize(EqRecord(0, kBassPreset), input, 2, 44100), input) << "mask 0, gains set";
    EXPECT_EQ(Equalize(EqRecord(0x3FF, {}), input, 2, 44100), input) << "on, every band flat";
}

// The equalizer's measured response (dB) at each of `fs`: a DFT of its
// impulse response, settled at the sliders.
std::vector<double> ResponseDb(const std::array<int, 10>& sliders, int rate,
                               const std::vector<double>& fs) {
    std::vector<float> ir(4096, 0.0f);
    ir[0] = 1.0f;
    Equalizer eq;
    eq.Start(1, rate);
    eq.SetRecord(EqRecord(0x3FF, sliders));
    eq.Flush();
    eq.Process(ir);
    std::vector<double> out;
    for (double f : fs) {
        std::complex<double> sum = 0.0, z = 1.0;
        const auto w = std::polar(1.0, -2.0 * std::numbers::pi * f / rate);
        for (float h : ir) {
            sum += static_cast<double>(h) * z;
            z *= w;
        }
        out.push_back(Db(std::abs(sum)));
    }
    return out;
}

TEST(Equalizer, DrawsTheSlidersCurveForEveryPresetAndTheExtremes) {
    std::vector<std::array<int, 10>> settings(kPresetSliders.begin(), kPresetSliders.end());
    settings.push_back({1200, 1200, 1200, 1200, 1200, 1200, 1200, 1200, 1200, 1200});
    settings.push_back({-1200, -1200, -1200, -1200, -1200, -1200, -1200, -1200, -1200, -1200});
    double worstCentre = 0.0, worstBetween = 0.0;
    for (int rate : {22050, 44100, 48000}) {
        const double top = 0.45 * rate; // bands from here up are heard as one shelf
        for (const auto& sliders : settings) {
            // Each centre must meet its slider; the points on to the next
            // centre (or to the top) must stay within 1.5 dB of the range
            // of the two sliders (of all the sliders above the top).
            std::vector<double> fs, lo, hi;
            for (int b = 0; b < 10 && kEqBandFrequencies[b] < top; ++b) {
                fs.push_back(kEqBandFrequencies[b]);
                lo.push_back(sliders[b] / 100.0 - 1.0);
                hi.push_back(sliders[b] / 100.0 + 1.0);
                if (b == 9) {
                    break;
                }
                double l = sliders[b], h = sliders[b];
                for (int k = b + 1; k < 10; ++k) {
                    l = std::min(l, 1.0 * sliders[k]), h = std::max(h, 1.0 * sliders[k]);
                    if (kEqBandFrequencies[k] < top) {
                        break;
                    }
                }
                const double next = std::min(kEqBandFrequencies[b + 1], top);
                for (int k = 1; k < 16; ++k) {
                    fs.push_back(kEqBandFrequencies[b] *
                                 std::pow(next / kEqBandFrequencies[b], k / 16.0));
                    lo.push_back(l / 100.0 - 1.5);
                    hi.push_back(h / 100.0 + 1.5);
                }
            }
            const auto db = ResponseDb(sliders, rate, fs);
            for (std::size_t i = 0; i < fs.size(); ++i) {
                const bool centre = hi[i] - lo[i] == 2.0;
                const double beyond = std::max(db[i] - hi[i], lo[i] - db[i]) + (centre ? 1.0 : 1.5);
                (centre ? worstCentre : worstBetween) =
                    std::max(centre ? worstCentre : worstBetween, beyond);
                EXPECT_TRUE(db[i] >= lo[i] && db[i] <= hi[i])
                    << db[i] << " dB at " << fs[i] << " Hz, " << rate << " Hz rate";
            }
        }
    }
    // The bands above what 22.05 kHz can carry still lift the top.
    const double shelf = ResponseDb({0, 0, 0, 0, 0, 0, 0, 1200, 1200, 1200}, 22050, {10000.0})[0];
    std::printf("figure: centres off by %.2f dB, between centres %.2f dB beyond the sliders, "
                "10 kHz at 22.05 kHz %+.1f dB\n",
                worstCentre, worstBetween, shelf);
    EXPECT_GT(shelf, 9.0);
}

TEST(Equalizer, ReadsGainsFromTheRecordClamped) {
    const auto record = EqRecord(0x3FF, {1, -2, 3, -4, 5, -6, 7, -8, 1500, -1500});
    EXPECT_EQ(Equalizer::BandGains(record),
              (std::array<int, 10>{1, -2, 3, -4, 5, -6, 7, -8, 1200, -1200}));
    EXPECT_EQ(Equalizer::EnableMask(record), 0x3FFu);
}

TEST(Equalizer, GainChangeIsHeardWithin30MsWithoutAClick) {
    const int rate = 44100;
    const double f = 1000.0;
    Equalizer eq;
    eq.Start(1, rate);
    eq.SetRecord(EqRecord(0x3FF, {}));
    auto signal = Sine(f, rate, rate, {0.25});
    const int change = rate / 4;
    eq.Process(std::span(signal).first(change));
    // Not a whole dB: the hundredths in the record count.
    eq.SetRecord(EqRecord(0x3FF, {0, 0, 0, 0, -1150, 0, 0, 0, 0, 0}));
    eq.Process(std::span(signal).subspan(change));

    // 30 ms after the change the new gain is there.
    EXPECT_NEAR(
        Db(Amplitude(std::span(signal).subspan(change + rate * 3 / 100, rate / 10), f, rate) /
           0.25),
        -11.5, 0.15);
    // The glide never steps harder than the tone itself moves.
    const float toneStep = static_cast<float>(2 * std::numbers::pi * f / rate * 0.25);
    EXPECT_LT(MaxStep(signal, 1), toneStep * 1.1f);
}

} // namespace
} // namespace mixora
