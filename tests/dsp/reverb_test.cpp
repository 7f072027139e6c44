// The reverb measured from what it outputs (decay times from impulse
// responses, arrival times, levels, echo density, the bit-exact bypass) and
// the environment table as the menu sees it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <numeric>

#include "dsp/dsp_signals.h"
#include "dsp/environments.h"
#include "dsp/reverb.h"

namespace mixora {
namespace {

using namespace dsp_test;

constexpr int kRate = 44100;

// The wet part of the left output's response to a unit impulse (mono: dry
// passes through unchanged, so wet = output - input).
std::vector<float> ImpulseResponse(const EaxListener& l, double seconds) {
    Reverb reverb;
    reverb.Start(1, kRate);
    reverb.SetParameters(l, true);
    std::vector<float> buffer(static_cast<std::size_t>(seconds * kRate), 0.0f);
    buffer[0] = 1.0f;
    for (std::size_t at = 0; at < buffer.size(); at += 1024) {
        reverb.Process(
            std::span(buffer).subspan(at, std::min<std::size_t>(1024, buffer.size() - at)));
    }
    buffer[0] -= 1.0f;
    return buffer;
}

// T60 from the Schroeder energy decay curve: a least-squares line through the
// curve between -5 and -35 dB, extrapolated to 60 dB.
double T30(const std::vector<float>& ir) {
    std::vector<double> edc(ir.size() + 1, 0.0);
    for (std::size_t i = ir.size(); i-- > 0;) {
        edc[i] = edc[i + 1] + static_cast<double>(ir[i]) * ir[i];
    }
    double sx = 0, sy = 0, sxx = 0, sxy = 0, n = 0;
    for (std::size_t i = 0; i < ir.size() && edc[0] > 0.0; ++i) {
        const double db = 10.0 * std::log10(edc[i] / edc[0] + 1e-300);
        if (db < -35.0) {
            break;
        }
        const double t = static_cast<double>(i) / kRate, w = db <= -5.0 ? 1.0 : 0.0;
        sx += w * t, sy += w * db, sxx += w * t * t, sxy += w * t * db, n += w;
    }
    return n < 2 ? 0.0 : -60.0 * (n * sxx - sx * sx) / (n * sxy - sx * sy);
}

// About one octave of the response: two RBJ band-passes (0 dB peak) in a
// row, steep enough that a band's decay is not masked by its neighbours'.
// With q = 4.32, a third of an octave.
std::vector<float> Band(std::vector<float> y, double centre, double q = std::numbers::sqrt2) {
    Cookbook(y, false, centre, q, kRate);
    Cookbook(y, false, centre, q, kRate);
    return y;
}

double EnergyDb(const std::vector<float>& x) {
    double e = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        e += static_cast<double>(x[i]) * x[i];
    }
    return 10.0 * std::log10(e + 1e-300);
}

double OnsetSeconds(const std::vector<float>& x) {
    const float threshold = 1e-3f * Peak(x);
    const auto at =
        std::find_if(x.begin(), x.end(), [&](float v) { return std::abs(v) > threshold; });
    return static_cast<double>(at - x.begin()) / kRate;
}

// Runs fresh noise through `reverb`: true when every sample came out bit-exact.
bool LeavesNoiseBitExact(Reverb& reverb, std::size_t samples) {
    const std::vector<float> input = Noise(samples, 11);
    std::vector<float> output = input;
    reverb.Process(output);
    return std::memcmp(input.data(), output.data(), input.size() * sizeof(float)) == 0;
}

TEST(Reverb, EveryRoomDecaysAsItsTableSaysAndPassesNoDc) {
    double worstMid = 0.0, worstHigh = 0.0, dcGain = 0.0;
    for (int e = 0; e < kEnvironmentCount; ++e) {
        const EaxListener l = ListenerForEnvironment(e);
        SCOPED_TRACE(Environments()[e].name);
        // At 5 kHz: the decay time times the HF ratio, unless the listener
        // limits it to what air allows (-5 mB per metre is 60 dB in 1200 m,
        // 3.5 s at the speed of sound).
        double high = l.flDecayTime * l.flDecayHFRatio;
        if (l.dwFlags & 0x20) {
            high = std::min(high, 60.0 / (0.05 * 343.3));
        }
        const auto ir = ImpulseResponse(l, 0.75 * l.flDecayTime + 0.5);
        // The mid band in octaves round 250 Hz and 707 Hz.
        for (double centre : {250.0, 707.0}) {
            const double mid = T30(Band(ir, centre)) / l.flDecayTime - 1.0;
            worstMid = std::max(worstMid, std::abs(mid));
            EXPECT_LT(std::abs(mid), 0.1) << centre << " Hz";
        }
        // The tail's own decay in the third octave at 5 kHz: the room's HF
        // cut on the way in (which would bury the band under the mid band's
        // slower skirts) is opened, the early reflections are left out.
        EaxListener open = l;
        open.lRoomHF = 0;
        open.lReflections = -10000;
        const double hf =
            T30(Band(ImpulseResponse(open, 0.75 * high + 0.5), 5000.0, 4.32)) / high - 1.0;
        worstHigh = std::max(worstHigh, std::abs(hf));
        EXPECT_LT(std::abs(hf), 0.2);
        // The gain at 0 Hz: the sum of the wet impulse response.
        const double dc = std::abs(std::accumulate(ir.begin(), ir.end(), 0.0));
        dcGain = std::max(dcGain, dc);
        EXPECT_LT(Db(dc), -40.0);
    }
    std::printf("figure: worst decay error %.0f%% (mid), %.0f%% (5 kHz), DC gain %+.1f dB\n",
                100.0 * worstMid, 100.0 * worstHigh, Db(dcGain));
}

TEST(Reverb, TailsDoNotRingAndTheSidesStayApart) {
    int mostPeaks = 0;
    double mostCorrelated = 0.0; // over every room
    for (int e = 0; e < kEnvironmentCount; ++e) {
        const EaxListener l = ListenerForEnvironment(e);
        SCOPED_TRACE(Environments()[e].name);
        // Impulse into both inputs; the tail from 80 to 580 ms of each output.
        Reverb reverb;
        reverb.Start(2, kRate);
        reverb.SetParameters(l, true);
        std::vector<float> io(2 * kRate * 6 / 10, 0.0f);
        io[0] = io[1] = 1.0f;
        reverb.Process(io);
        const std::size_t from = kRate * 8 / 100, n = kRate / 2;
        std::vector<double> power(32768 / 2, 0.0);
        double el = 0, er = 0, cross = 0;
        for (int ch = 0; ch < 2; ++ch) {
            std::vector<std::complex<double>> spectrum(32768, 0.0);
            for (std::size_t i = 0; i < n; ++i) {
                const double a = io[2 * (from + i)], b = io[2 * (from + i) + 1];
                (ch == 0 ? el : er) += (ch == 0 ? a * a : b * b);
                cross += ch == 0 ? a * b : 0.0;
                spectrum[i] = (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / n)) * (ch ? b : a);
            }
            Fft(spectrum);
            for (std::size_t k = 0; k < power.size(); ++k) {
                power[k] += std::norm(spectrum[k]);
            }
        }
        // Narrow peaks 10 dB over the median of the surrounding +-64 bins
        // (+-86 Hz), from 100 Hz to 8 kHz, where the tail is within 60 dB
        // of its strongest part (lower down nothing rings audibly).
        int peaks = 0;
        const double bin = static_cast<double>(kRate) / 32768;
        const double strongest = *std::max_element(power.begin(), power.end());
        for (auto k = static_cast<std::size_t>(100 / bin); k < 8000 / bin; ++k) {
            if (power[k] < power[k - 1] || power[k] < power[k + 1]) {
                continue;
            }
            std::array<double, 129> local{};
            std::copy(power.begin() + k - 64, power.begin() + k + 65, local.begin());
            std::nth_element(local.begin(), local.begin() + 64, local.end());
            peaks += power[k] > 10.0 * local[64] && local[64] > 1e-6 * strongest ? 1 : 0;
        }
        const double correlation = std::abs(cross) / std::sqrt(el * er);
        EXPECT_LE(peaks, 5);
        EXPECT_LT(correlation, 0.3);
        mostPeaks = std::max(mostPeaks, peaks);
        mostCorrelated = std::max(mostCorrelated, correlation);
    }
    std::printf("figure: most peaks %d, correlation %.2f\n", mostPeaks, mostCorrelated);
}

TEST(Reverb, BitExactWheneverThereIsNoWetPart) {
    // Turned down to silence while running: 50 ms later nothing is added.
    EaxListener generic = ListenerForEnvironment(0);
    Reverb running;
    running.Start(1, kRate);
    running.SetParameters(generic, true);
    EXPECT_FALSE(LeavesNoiseBitExact(running, kRate));
    generic.lRoom = -10000;
    running.SetParameters(generic, true);
    std::vector<float> ramp(kRate / 20, 0.0f);
    running.Process(ramp);
    EXPECT_TRUE(LeavesNoiseBitExact(running, kRate / 2)) << "room level turned down";

    Reverb unstarted;
    unstarted.SetParameters(ListenerForEnvironment(0), true);
    EXPECT_TRUE(LeavesNoiseBitExact(unstarted, 6000)) << "before Start";
    unstarted.Start(6, kRate);
    EXPECT_TRUE(LeavesNoiseBitExact(unstarted, 6000)) << "six channels";
}

TEST(Reverb, ReflectionsAndLateReverbArriveAtTheirDelaysAndLevels) {
    EaxListener l = ListenerForEnvironment(0);
    l.lReflections = 0;
    l.flReflectionsDelay = 0.05f;
    l.flReverbDelay = 0.1f;
    EXPECT_NEAR(OnsetSeconds(ImpulseResponse(l, 0.4)), 0.05, 0.0005);

    // Without reflections the late part starts reverb-delay after them.
    l.lReflections = -10000;
    l.flReflectionsDelay = 0.02f;
    l.flReverbDelay = 0.06f;
    const std::vector<float> ir = ImpulseResponse(l, 0.4);
    EXPECT_NEAR(OnsetSeconds(ir), 0.08, 0.001);

    // Levels in mB of energy over the dry impulse, played 10 dB down as the
    // published presets' room level of -1000 mB has it.
    l = ListenerForEnvironment(0); // late level +200 mB
    l.lRoomHF = 0;
    l.flDecayHFRatio = 1.0f;
    l.lReflections = -10000;
    const double late = EnergyDb(ImpulseResponse(l, 1.6));
    EXPECT_NEAR(late, 2.0 - 10.0, 1.5);
    l.lReverb = 1200; // 10 dB louder, still under the cap
    EXPECT_NEAR(EnergyDb(ImpulseResponse(l, 1.6)) - late, 10.0, 0.1);
    l.lReverb = 200;
    l.lRoom = -600;
    EXPECT_NEAR(EnergyDb(ImpulseResponse(l, 1.6)) - late, -6.0, 0.1);
    l.lRoom = 0;
    l.lReverb = -10000;
    for (int reflections : {-1000, 1000}) { // the loudest the listener allows
        l.lReflections = reflections;
        EXPECT_NEAR(EnergyDb(ImpulseResponse(l, 0.3)), reflections / 100.0 - 10.0, 0.1);
    }

    // Room HF takes the top off: little left at 8 kHz, the lows untouched.
    l.lReflections = 0;
    const std::vector<float> bright = ImpulseResponse(l, 0.3);
    l.lRoomHF = -2000;
    const std::vector<float> dull = ImpulseResponse(l, 0.3);
    EXPECT_LT(EnergyDb(Band(dull, 8000.0)) - EnergyDb(Band(bright, 8000.0)), -15.0);
    EXPECT_NEAR(EnergyDb(Band(dull, 100.0)) - EnergyDb(Band(bright, 100.0)), 0.0, 0.4);
}

TEST(Reverb, DiffusionTurnsTheLateEchoesIntoADenseWash) {
    // Normalised echo density (Abel and Huang): the share of samples beyond
    // one standard deviation in 20 ms windows from 100 ms after the onset,
    // over the 0.317 of a Gaussian wash. Sparse echoes score far lower.
    auto density = [](EaxListener l, float diffusion) {
        l.lReflections = -10000;
        l.flEnvironmentDiffusion = diffusion;
        const auto ir = ImpulseResponse(l, 0.3);
        const std::size_t from = static_cast<std::size_t>((OnsetSeconds(ir) + 0.1) * kRate);
        const std::size_t w = kRate / 50;
        double sum = 0.0;
        for (std::size_t at = from; at < from + 4 * w; at += w) {
            const auto x = std::span(ir).subspan(at, w);
            const double sd = Rms(x);
            sum += std::count_if(x.begin(), x.end(), [&](float v) { return std::abs(v) > sd; }) /
                   (0.3173 * static_cast<double>(w));
        }
        return sum / 4.0;
    };
    const double dense = density(ListenerForEnvironment(0), 1.0f);
    const double sparse = density(ListenerForEnvironment(0), 0.0f);
    std::printf("figure: echo density %.2f at diffusion 1, %.2f at 0\n", dense, sparse);
    EXPECT_GT(dense, 0.7);
    EXPECT_LT(sparse, 0.6 * dense);
}

TEST(Reverb, AbsurdValuesGiveFiniteOutputAtEveryRate) {
    EaxListener odd = ListenerForEnvironment(0);
    odd.flDecayTime = std::nanf("");
    odd.flEnvironmentSize = 1e9f;
    odd.lReverb = 99999;
    odd.flReflectionsDelay = -3.0f;
    odd.dwEnvironment = 1234;
    for (int rate : {8000, 192000}) {
        Reverb r;
        r.Start(2, rate);
        r.SetParameters(odd, true);
        std::vector<float> io = Noise(static_cast<std::size_t>(rate));
        r.Process(io);
        EXPECT_TRUE(std::all_of(io.begin(), io.end(), [](float v) { return std::isfinite(v); }));
    }
}

TEST(Environments, TwentySixInMenuOrderAndOnlyTheStrangeOnesWobble) {
    ASSERT_EQ(Environments().size(), 26u);
    for (std::uint32_t i = 0; i < 26; ++i) {
        // Among the first 23 only Under Water moves; the last three all do.
        EXPECT_EQ(Environments()[i].listener.dwEnvironment, i);
        EXPECT_EQ(Environments()[i].modulationDepth > 0.0f, i >= 22) << i;
    }
    EXPECT_EQ(ListenerForEnvironment(-1).dwEnvironment, 0u);
    EXPECT_EQ(ListenerForEnvironment(26).dwEnvironment, 0u);
}

} // namespace
} // namespace mixora
