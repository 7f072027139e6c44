#include "dsp/eq_design.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dsp/effect_state.h"

namespace mixora {
namespace {

// The gain the interaction is measured at: the sliders' full travel.
constexpr double kProbeGain = 12.0;
// A filter asked for more than this is asking for the impossible (two
// close bands pulled hard apart); the curve is then only approximated.
constexpr double kMaxFilterGain = 24.0;
constexpr int kRefinements = 4;
// Bandwidth (octaves, between the half-gain points) per octave of spacing:
// 1.6 keeps the ripple between two equal sliders within 1.5 dB and
// the overshoot next to a steep change as small.
constexpr double kWidthPerSpacing = 1.6;
// A band this close to Nyquist would be a cramped, ill-conditioned peak.
constexpr double kHighestCentre = 0.45;
// The shelf that stands in for the bands above that: its corner, and where
// its gain is met.
constexpr double kShelfCorner = 0.36;
constexpr double kShelfProbe = 0.45;

double Octaves(double a, double b) {
    return std::abs(std::log2(b / a));
}

} // namespace

void EqDesign::Prepare(double rate) {
    rate_ = rate > 0.0 ? rate : 44100.0;
    shelf_ = kBands;
    for (int b = 0; b < kBands; ++b) {
        if (kEqBandFrequencies[b] >= kHighestCentre * rate_) {
            shelf_ = b;
            break;
        }
    }
    for (int b = 0; b < kBands; ++b) {
        // Width from the spacing to the neighbours: the mean of the two
        // gaps (the one gap at the ends), so each band covers its share.
        const double below =
            b > 0 ? Octaves(kEqBandFrequencies[b - 1], kEqBandFrequencies[b]) : 0.0;
        const double above =
            b + 1 < kBands ? Octaves(kEqBandFrequencies[b], kEqBandFrequencies[b + 1]) : 0.0;
        const double gap = b == 0 ? above : b + 1 == kBands ? below : 0.5 * (below + above);
        width_[b] = kWidthPerSpacing * gap;
        frequency_[b] = kEqBandFrequencies[b];
        probe_[b] = kEqBandFrequencies[b];
    }
    if (shelf_ < kBands) {
        frequency_[shelf_] = kShelfCorner * rate_;
        probe_[shelf_] = kShelfProbe * rate_;
    }
    for (int b = 0; b < kBands; ++b) {
        const double w0 = 2.0 * std::numbers::pi * frequency_[b] / rate_;
        const double sw = std::sin(w0);
        cos_[b] = std::cos(w0);
        // The shelf's slope-1 alpha; the peaks' in the digital bandwidth
        // form, which keeps the width in octaves near Nyquist where the
        // plain Q form would cramp it.
        alpha_[b] = b == shelf_ ? sw / std::numbers::sqrt2
                                : sw * std::sinh(std::numbers::ln2 / 2.0 * width_[b] * w0 / sw);
        const double wp = 2.0 * std::numbers::pi * probe_[b] / rate_;
        probeCos_[b] = std::cos(wp);
        probeCos2_[b] = std::cos(2.0 * wp);
    }

    // Interaction: how much of its gain each filter gives at every probe.
    const int n = std::min(shelf_ + 1, kBands);
    std::array<std::array<double, 2 * kBands>, kBands> m{};
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            m[i][j] = FilterDb(j, kProbeGain, probeCos_[i], probeCos2_[i]) / kProbeGain;
        }
        m[i][n + i] = 1.0;
    }
    // Gauss-Jordan with partial pivoting; the matrix is diagonally dominant.
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r) {
            if (std::abs(m[r][c]) > std::abs(m[pivot][c])) {
                pivot = r;
            }
        }
        std::swap(m[c], m[pivot]);
        const double d = m[c][c];
        for (auto& v : m[c]) {
            v /= d;
        }
        for (int r = 0; r < n; ++r) {
            if (r != c && m[r][c] != 0.0) {
                const double f = m[r][c];
                for (int k = 0; k < 2 * n; ++k) {
                    m[r][k] -= f * m[c][k];
                }
            }
        }
    }
    for (auto& row : inverse_) {
        row.fill(0.0);
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            inverse_[i][j] = m[i][n + j];
        }
    }
}

EqDesign::Gains EqDesign::Solve(const Gains& sliders) const {
    const int n = std::min(shelf_ + 1, kBands);
    Gains target{};
    for (int b = 0; b < n; ++b) {
        target[b] = sliders[b];
    }
    if (shelf_ < kBands) {
        double sum = 0.0;
        for (int b = shelf_; b < kBands; ++b) {
            sum += sliders[b];
        }
        target[shelf_] = sum / (kBands - shelf_);
    }
    Gains gains{};
    Gains error = target;
    for (int pass = 0; pass <= kRefinements; ++pass) {
        for (int i = 0; i < n; ++i) {
            double step = 0.0;
            for (int j = 0; j < n; ++j) {
                step += inverse_[i][j] * error[j];
            }
            gains[i] = std::clamp(gains[i] + step, -kMaxFilterGain, kMaxFilterGain);
        }
        if (pass == kRefinements) {
            break;
        }
        // The filters are not quite additive in dB: measure and correct.
        for (int i = 0; i < n; ++i) {
            double response = 0.0;
            for (int j = 0; j < n; ++j) {
                response += FilterDb(j, gains[j], probeCos_[i], probeCos2_[i]);
            }
            error[i] = target[i] - response;
        }
    }
    return gains;
}

BiquadCoefficients EqDesign::Coefficients(int band, double gain) const {
    BiquadCoefficients c;
    if (gain == 0.0 || band > shelf_ || band >= kBands) {
        return c;
    }
    const double a = std::pow(10.0, gain / 40.0);
    const double cw = cos_[band];
    const double alpha = alpha_[band];
    if (band == shelf_) {
        // Cookbook high shelf, slope 1.
        const double s = 2.0 * std::sqrt(a) * alpha;
        const double a0 = (a + 1.0) - (a - 1.0) * cw + s;
        c.b0 = a * ((a + 1.0) + (a - 1.0) * cw + s) / a0;
        c.b1 = -2.0 * a * ((a - 1.0) + (a + 1.0) * cw) / a0;
        c.b2 = a * ((a + 1.0) + (a - 1.0) * cw - s) / a0;
        c.a1 = 2.0 * ((a - 1.0) - (a + 1.0) * cw) / a0;
        c.a2 = ((a + 1.0) - (a - 1.0) * cw - s) / a0;
        return c;
    }
    // Cookbook peak: the bilinear transform with the centre pre-warped, so
    // the gain at the centre is exactly the filter's.
    const double a0 = 1.0 + alpha / a;
    c.b0 = (1.0 + alpha * a) / a0;
    c.b1 = -2.0 * cw / a0;
    c.b2 = (1.0 - alpha * a) / a0;
    c.a1 = c.b1;
    c.a2 = (1.0 - alpha / a) / a0;
    return c;
}

double EqDesign::FilterDb(int band, double gain, double frequency) const {
    const double w = 2.0 * std::numbers::pi * frequency / rate_;
    return FilterDb(band, gain, std::cos(w), std::cos(2.0 * w));
}

double EqDesign::FilterDb(int band, double gain, double cw, double c2w) const {
    if (gain == 0.0) {
        return 0.0;
    }
    const BiquadCoefficients c = Coefficients(band, gain);
    const double num = c.b0 * c.b0 + c.b1 * c.b1 + c.b2 * c.b2 +
                       2.0 * (c.b0 * c.b1 + c.b1 * c.b2) * cw + 2.0 * c.b0 * c.b2 * c2w;
    const double den =
        1.0 + c.a1 * c.a1 + c.a2 * c.a2 + 2.0 * (c.a1 + c.a1 * c.a2) * cw + 2.0 * c.a2 * c2w;
    return 10.0 * std::log10(num / den);
}

double EqDesign::ResponseDb(const Gains& filterGains, double frequency) const {
    double sum = 0.0;
    for (int b = 0; b < kBands; ++b) {
        sum += FilterDb(b, filterGains[b], frequency);
    }
    return sum;
}

} // namespace mixora
