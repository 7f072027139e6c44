#pragma once
// The shapes of the graphic equalizer's ten filters at one sample rate, and
// the filter gains that make their cascade draw the curve the sliders show.
//
// Neighbouring bands overlap, so a filter set to its slider's gain would add
// to its neighbours' (three bands 0.2 octave apart pile up to twice their
// gain). Each filter's width follows the spacing of its neighbours, and the
// gains are solved from the bands' interaction: the response at every
// centre equals its slider. Bands at or above 0.45 of the sample rate join
// into one high shelf just below Nyquist at their mean slider.
#include <array>

#include "dsp/biquad.h"

namespace mixora {

class EqDesign {
public:
    static constexpr int kBands = 10;
    using Gains = std::array<double, kBands>; // dB

    // Shapes the filters for `rate` and factors their interaction. Not
    // real-time safe (a few thousand trigonometric calls).
    void Prepare(double rate);

    // Filter gains (dB) for the slider gains (dB). Real-time safe.
    Gains Solve(const Gains& sliders) const;

    // The section of filter `band` at `gain` dB; unity at 0 dB.
    BiquadCoefficients Coefficients(int band, double gain) const;

    // Response (dB) of the whole cascade at `frequency`, for checking.
    double ResponseDb(const Gains& filterGains, double frequency) const;

private:
    double FilterDb(int band, double gain, double frequency) const;
    double FilterDb(int band, double gain, double cw, double c2w) const;

    double rate_ = 44100.0;
    int shelf_ = kBands;                     // first band merged into the shelf (kBands: none)
    std::array<double, kBands> frequency_{}; // centre, or the shelf's corner
    std::array<double, kBands> width_{};     // octaves
    std::array<double, kBands> cos_{}, alpha_{};
    std::array<double, kBands> probeCos_{}, probeCos2_{}; // cos w, cos 2w at each probe
    std::array<double, kBands> probe_{};                  // where each filter's slider is met
    std::array<std::array<double, kBands>, kBands> inverse_{};
};

} // namespace mixora
