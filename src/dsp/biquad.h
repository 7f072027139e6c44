#pragma once
// One second-order section in transposed direct form II, run in double so the
// low bands stay stable and quiet at any sample rate.
#include <cmath>
#include <numbers>

namespace mixora {

struct BiquadCoefficients {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0; // a0 divided out
};

struct BiquadState {
    double s1 = 0.0, s2 = 0.0;

    double Run(const BiquadCoefficients& c, double x) {
        const double y = c.b0 * x + s1;
        s1 = c.b1 * x - c.a1 * y + s2;
        s2 = c.b2 * x - c.a2 * y;
        return y;
    }
    void Clear() { s1 = s2 = 0.0; }
};

// Two channels through the same section at once: two doubles the compiler
// keeps in one vector register.
using DoublePair = double __attribute__((vector_size(16)));

struct BiquadPairState {
    DoublePair s1{}, s2{};

    DoublePair Run(const BiquadCoefficients& c, DoublePair x) {
        const DoublePair y = c.b0 * x + s1;
        s1 = c.b1 * x - c.a1 * y + s2;
        s2 = c.b2 * x - c.a2 * y;
        return y;
    }
    void Clear() { s1 = s2 = DoublePair{}; }
};

// Second-order Butterworth-family low pass (RBJ cookbook), cut-off in Hz.
inline BiquadCoefficients LowPassCoefficients(double frequency, double q, double rate) {
    const double w0 = 2.0 * std::numbers::pi * frequency / rate;
    const double cw = std::cos(w0);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    BiquadCoefficients c;
    c.b0 = (1.0 - cw) / 2.0 / a0;
    c.b1 = (1.0 - cw) / a0;
    c.b2 = c.b0;
    c.a1 = -2.0 * cw / a0;
    c.a2 = (1.0 - alpha) / a0;
    return c;
}

// The matching high pass (RBJ cookbook).
inline BiquadCoefficients HighPassCoefficients(double frequency, double q, double rate) {
    BiquadCoefficients c = LowPassCoefficients(frequency, q, rate);
    const double cw = std::cos(2.0 * std::numbers::pi * frequency / rate);
    const double scale = (1.0 + cw) / (1.0 - cw); // (1 + cos) / 2 over (1 - cos) / 2
    c.b0 *= scale;
    c.b1 *= -scale;
    c.b2 *= scale;
    return c;
}

} // namespace mixora
