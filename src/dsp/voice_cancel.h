#pragma once
// Karaoke voice cancellation: removes what is panned to the centre (the
// lead voice, usually) above the bass, keeps the bass and what is panned to
// the sides.
//
// Each channel is split by an eighth-order Linkwitz-Riley crossover, whose
// low and high parts add back to an all-pass: nothing is lost or doubled
// round the crossover. Below it a channel keeps its own low part; above it
// both sides carry the difference of the channels' high parts, so what is
// equal in both (the centre) cancels and a source on one side comes out
// whole on its side and inverted on the other, as on every karaoke switch.
// The steep slopes keep that inverted copy more than 20 dB down below
// 400 Hz and the centre's remnant 40 dB down at 1 kHz.
#include <array>
#include <span>

#include "dsp/biquad.h"
#include "dsp/ramp.h"

namespace mixora {

class VoiceCancel {
public:
    // Below this the centre stays: bass, kick drum and the low end of the
    // band are centred too.
    static constexpr double kCrossover = 545.0;

    // Negotiates the format; clears all history. Mono streams pass through.
    void Start(int channels, int rate);
    // Switches the removal on or off with a 30 ms crossfade. Streaming thread.
    void SetEnabled(bool on);
    // In place, interleaved; untouched while off (or mono).
    void Process(std::span<float> interleaved);
    void Flush();

    bool Bypassed() const;

private:
    // Fourth-order Butterworth twice: one half of the crossover.
    using Coefficients = std::array<BiquadCoefficients, 4>;
    struct Cascade {
        std::array<BiquadState, 4> s;
        double Run(const Coefficients& c, double x) {
            for (int i = 0; i < 4; ++i) {
                x = s[i].Run(c[i], x);
            }
            return x;
        }
        void Clear() {
            for (auto& v : s) {
                v.Clear();
            }
        }
    };

    int channels_ = 0;
    int fadeSamples_ = 1;
    bool enabled_ = false;
    Coefficients lowPass_{}, highPass_{};
    void ClearLows();

    std::array<BiquadPairState, 4> lows_{}; // both channels' low parts
    Cascade side_;
    SmoothRamp mix_;
};

} // namespace mixora
