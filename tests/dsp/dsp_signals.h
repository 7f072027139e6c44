#pragma once
// Generated test signals and the measurements the effect tests make on them.
#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <span>
#include <vector>

#include "dsp/effect_state.h"

namespace mixora::dsp_test {

// Interleaved sine: amplitude per channel (0 = silent channel).
inline std::vector<float> Sine(double frequency, int rate, int frames, std::vector<double> gains) {
    const std::size_t channels = gains.size();
    std::vector<float> out(static_cast<std::size_t>(frames) * channels);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double s =
            std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i / channels) / rate);
        out[i] = static_cast<float>(gains[i % channels] * s);
    }
    return out;
}

// Uniform noise in [-0.5, 0.5), the same for the same seed.
inline std::vector<float> Noise(std::size_t n, unsigned seed = 7) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    std::vector<float> x(n);
    for (auto& v : x) {
        v = d(gen);
    }
    return x;
}

inline std::vector<float> Channel(std::span<const float> interleaved, int channels, int channel) {
    std::vector<float> out(interleaved.size() / channels);
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = interleaved[i * channels + channel];
    }
    return out;
}

// Amplitude of the component at `frequency` (Hann-windowed single DFT bin).
inline double Amplitude(std::span<const float> x, double frequency, int rate) {
    std::complex<double> sum = 0.0;
    double wsum = 0.0;
    const std::size_t n = x.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (n - 1));
        sum += w * x[i] * std::polar(1.0, -2.0 * std::numbers::pi * frequency * i / rate);
        wsum += w;
    }
    return 2.0 * std::abs(sum) / wsum;
}

inline double Db(double ratio) {
    return 20.0 * std::log10(ratio);
}

// Frequency from rising zero crossings, interpolated between samples.
inline double ZeroCrossingFrequency(std::span<const float> x, int rate) {
    double first = -1.0, last = -1.0;
    int count = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double t = (i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0.0) {
                first = t;
            } else {
                last = t;
                ++count;
            }
        }
    }
    return count > 0 ? count * rate / (last - first) : 0.0;
}

// The largest jump between neighbouring frames of one channel: a click.
inline float MaxStep(std::span<const float> x, int channels) {
    float worst = 0.0f;
    for (std::size_t i = channels; i < x.size(); ++i) {
        worst = std::max(worst, std::abs(x[i] - x[i - channels]));
    }
    return worst;
}

inline float Peak(std::span<const float> x) {
    float m = 0.0f;
    for (float v : x) {
        m = std::max(m, std::abs(v));
    }
    return m;
}

// An equalizer record with the given mask and band gains (hundredths of dB).
inline std::array<std::uint8_t, 120> EqRecord(std::uint32_t mask,
                                              const std::array<int, 10>& gains) {
    std::array<std::uint8_t, 120> record{};
    auto put = [&](int offset, std::uint32_t v) {
        for (int b = 0; b < 4; ++b) {
            record[offset + b] = static_cast<std::uint8_t>(v >> (8 * b));
        }
    };
    put(0, mask);
    for (int b = 0; b < 10; ++b) {
        put(kEqBandOffsets[b], static_cast<std::uint32_t>(gains[b]));
    }
    return record;
}

// The built-in "Bass" preset.
inline constexpr std::array<int, 10> kBassPreset = {1000, 900,  800,  320,  0,
                                                    -320, -500, -670, -800, -800};

} // namespace mixora::dsp_test
