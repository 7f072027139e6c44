#pragma once
// Karaoke voice cancellation: removes what is panned to the centre (the
// lead voice, usually) above the bass, keeps the bass and what is panned to
// the sides.
#include <array>
#include <span>

#include "dsp/biquad.h"
#include "dsp/ramp.h"

namespace mixora {

class VoiceCancel {
public:
    // Below this the centre stays: bass and kick drum are centred too.
    static constexpr double kCrossover = 180.0;

    // Negotiates the format; clears all history. Mono streams pass through.
    void Start(int channels, int rate);
    // Switches the removal on or off with a 30 ms crossfade. Streaming thread.
    void SetEnabled(bool on);
    // In place, interleaved; untouched while off (or mono).
    void Process(std::span<float> interleaved);
    void Flush();

    bool Bypassed() const;

private:
    // Fourth-order Butterworth low pass as two sections, per channel.
    struct LowPass {
        std::array<BiquadState, 2> s;
        double Run(const std::array<BiquadCoefficients, 2>& c, double x) {
            return s[1].Run(c[1], s[0].Run(c[0], x));
        }
        void Clear() { s[0].Clear(), s[1].Clear(); }
    };

    int channels_ = 0;
    int fadeSamples_ = 1;
    bool enabled_ = false;
    std::array<BiquadCoefficients, 2> lowPass_{};
    LowPass left_, right_;
    LinearRamp mix_;
};

} // namespace mixora
