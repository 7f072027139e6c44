#pragma once
// Generated test signals and the measurements the effect tests make on them.
#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <numeric>
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
    return std::accumulate(x.begin(), x.end(), 0.0f,
                           [](float m, float v) { return std::max(m, std::abs(v)); });
}

// In-place radix-2 FFT; the size must be a power of two.
inline void Fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const auto w = std::polar(1.0, -2.0 * std::numbers::pi / static_cast<double>(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> v = 1.0;
            for (std::size_t k = 0; k < len / 2; ++k, v *= w) {
                const auto t = a[i + k + len / 2] * v;
                a[i + k + len / 2] = a[i + k] - t;
                a[i + k] += t;
            }
        }
    }
}

// One RBJ cookbook section over `y` in place: a band-pass with a 0 dB peak,
// or a high-pass.
inline void Cookbook(std::vector<float>& y, bool highPass, double f, double q, int rate) {
    const double w = 2.0 * std::numbers::pi * f / rate, cw = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * q), a0 = 1.0 + alpha;
    const double b0 = (highPass ? (1.0 + cw) / 2.0 : alpha) / a0;
    const double b1 = highPass ? -2.0 * b0 : 0.0, b2 = highPass ? b0 : -b0;
    const double a1 = -2.0 * cw / a0, a2 = (1.0 - alpha) / a0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (float& s : y) {
        const double v = b0 * s + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = s, y2 = y1, y1 = v, s = static_cast<float>(v);
    }
}

// Pink noise (Paul Kellet's refined filter on white noise) at `rms`, mono.
inline std::vector<float> Pink(std::size_t n, double rms, unsigned seed = 3) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> white(0.0, 1.0);
    std::array<double, 7> b{};
    std::vector<double> y(n);
    double sum = 0.0;
    for (auto& v : y) {
        const double w = white(gen);
        b[0] = 0.99886 * b[0] + w * 0.0555179;
        b[1] = 0.99332 * b[1] + w * 0.0750759;
        b[2] = 0.96900 * b[2] + w * 0.1538520;
        b[3] = 0.86650 * b[3] + w * 0.3104856;
        b[4] = 0.55000 * b[4] + w * 0.5329522;
        b[5] = -0.7616 * b[5] - w * 0.0168980;
        v = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362;
        b[6] = w * 0.115926;
        sum += v * v;
    }
    const double scale = rms / std::sqrt(sum / static_cast<double>(n));
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<float>(y[i] * scale);
    }
    return out;
}

inline double Rms(std::span<const float> x) {
    const double sum = std::inner_product(x.begin(), x.end(), x.begin(), 0.0);
    return std::sqrt(sum / static_cast<double>(std::max<std::size_t>(x.size(), 1)));
}

// An equalizer record with the given mask and band gains (hundredths of dB):
// the mask at byte 0, band 1 at 4, band 2 at 12 and each further band 12 on.
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
        put(b == 0 ? 4 : 12 * b, static_cast<std::uint32_t>(gains[b]));
    }
    return record;
}

// The built-in presets' sliders, as the user sees them.
inline constexpr std::array<std::array<int, 10>, 15> kPresetSliders = {{
    {1000, 900, 800, 320, 0, -320, -500, -670, -800, -800},
    {-800, -800, -800, -450, 0, 320, 900, 900, 900, 900},
    {-300, 500, 500, 500, -300, -300, -300, -300, -300, -300},
    {800, 790, 440, -440, -260, 150, 680, 790, 910, 970},
    {-200, 200, 400, 580, 400, -200, -350, -350, -350, -350},
    {-360, 0, 420, 530, 590, 530, 250, 200, 100, 50},
    {0, 0, 0, -420, 0, 530, 530, 0, 0, 0},
    {700, 480, 140, 0, 0, -370, -530, -530, 0, 0},
    {0, 0, 200, 500, 500, 500, 200, 0, 0, 0},
    {200, 0, -130, -350, -130, 190, 400, 580, 680, 750},
    {360, 250, 0, -480, -360, 0, 480, 580, 580, 400},
    {-130, -430, -350, 0, 200, 360, 470, 480, 530, 480},
    {400, 200, -250, -530, -250, 250, 530, 650, 650, 650},
    {550, 550, 0, 0, 0, 0, 0, 0, 550, 550},
    {0, 0, 0, 0, 0, 0, -500, -500, -500, -600},
}};
inline constexpr std::array<int, 10> kBassPreset = kPresetSliders[0];

} // namespace mixora::dsp_test
