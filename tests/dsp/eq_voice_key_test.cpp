// The equalizer, voice cancellation and key shift measured on generated
// tones: the curve the sliders draw, what the centre loses and the sides
// keep, where a shifted tone lands and how late.
#include <gtest/gtest.h>

#include <cstdio>

#include "dsp/dsp_signals.h"
#include "dsp/equalizer.h"
#include "dsp/pitch_shift.h"
#include "dsp/voice_cancel.h"

namespace mixora {
namespace {

using namespace dsp_test;

constexpr int kRate = 44100;

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

std::vector<float> Cancel(std::vector<float> input, int channels) {
    VoiceCancel vc;
    vc.Start(channels, kRate);
    vc.SetEnabled(true);
    vc.Flush(); // start settled, no fade in
    vc.Process(input);
    return input;
}

// Level change of the tone in one channel, dB, over the last 0.25 s.
double LevelDb(const std::vector<float>& out, int channel, double f, double reference) {
    const auto x = Channel(out, 2, channel);
    return Db(Amplitude(std::span(x).last(kRate / 4), f, kRate) / reference);
}

TEST(VoiceCancel, RemovesTheCentreKeepsTheSidesAndTheBassAndLeaksNothingAcross) {
    // An instrument hard left (or right) stays on its side at its level...
    for (int side : {0, 1}) {
        std::vector<double> gains{0.0, 0.0};
        gains[side] = 0.5;
        EXPECT_NEAR(LevelDb(Cancel(Sine(1000, kRate, kRate / 2, gains), 2), side, 1000, 0.5), 0.0,
                    3.0);
    }
    // ...and its bass does not reappear in the other channel.
    double leak = -200.0;
    for (double f : {50.0, 100.0, 157.0, 250.0, 400.0}) {
        leak = std::max(leak, LevelDb(Cancel(Sine(f, kRate, kRate / 2, {0.5, 0.0}), 2), 1, f, 0.5));
        EXPECT_LT(leak, -20.0) << f << " Hz";
    }
    // A voice in the middle goes deep from both sides; the bass there stays.
    const auto centre = Cancel(Sine(1000, kRate, kRate / 2, {0.5, 0.5}), 2);
    const double depth = std::max(LevelDb(centre, 0, 1000, 0.5), LevelDb(centre, 1, 1000, 0.5));
    double bass = 0.0;
    for (double f : {40.0, 70.0, 100.0}) {
        const double kept = LevelDb(Cancel(Sine(f, kRate, kRate / 2, {0.5, 0.5}), 2), 1, f, 0.5);
        bass = std::abs(kept) > std::abs(bass) ? kept : bass;
    }
    std::printf("figure: leak below 400 Hz %.1f dB, centre at 1 kHz %.1f dB, bass %+.2f dB\n", leak,
                depth, bass);
    EXPECT_LT(depth, -40.0);
    EXPECT_NEAR(bass, 0.0, 1.0);
}

TEST(VoiceCancel, MonoPassesThroughBitExact) {
    const auto mono = Sine(1000, kRate, 4410, {0.5});
    EXPECT_EQ(Cancel(mono, 1), mono);
}

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
            // One second of steady output of the right channel, after the
            // start-up lag: the tone at the new key, at its level.
            const auto out = Shift(Sine(440, rate, 2 * rate, {0.2, 0.5}), 2, rate, k);
            const auto right = Channel(out, 2, 1);
            const auto x = std::span(right).subspan(rate / 2, rate);
            const double expected = 440.0 * std::pow(2.0, k / 12.0);
            EXPECT_NEAR(ZeroCrossingFrequency(x, rate), expected, expected * 0.005)
                << "key " << k << " at " << rate << " Hz";
            EXPECT_NEAR(Db(Amplitude(x, expected, rate) / 0.5), 0.0, 1.5);
        }
    }
}

TEST(PitchShift, EveryKeyDelaysTheSoundByTheSameReportedLatency) {
    // Noise bursts every 200 ms; the lag is where the energy of each burst
    // comes out (its centroid), averaged over the bursts.
    const int rate = 44100, period = rate / 5, burst = rate / 50;
    auto input = Noise(static_cast<std::size_t>(4 * rate));
    for (int i = 0; i < 4 * rate; ++i) {
        input[i] *= i % period < burst ? std::sin(std::numbers::pi * (i % period) / burst) : 0.0;
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
