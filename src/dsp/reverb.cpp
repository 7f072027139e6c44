#include "dsp/reverb.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>
#include <numeric>
#include <vector>

#include "dsp/environments.h"
#include "dsp/ramp.h"

namespace mixora {
namespace {

constexpr int kLines = 8;
constexpr int kTaps = 8;
constexpr int kDiffusers = 3;
constexpr int kMaxChannels = 2;

constexpr double kNominalSize = 7.5;                    // m, the size the tables below are for
constexpr double kMaxSizeFactor = 100.0 / kNominalSize; // the largest environment
constexpr double kMaxLateFactor = 6.0;                  // the largest late network (45 m)
constexpr double kMinLateFactor = 0.05;
constexpr double kDelayPerDecay = 1.0;    // s of summed line delay per s of decay, at least
constexpr double kMaxDensityFactor = 2.5; // what the density alone may grow the lines to
constexpr double kMaxTapFactor = 2.5;     // the early cluster stops growing at about 19 m
constexpr double kSmallRoomFactor = 0.4;  // below 3 m a room wobbles its lines a little
constexpr double kSmallRoomModulationDepth = 0.4;
constexpr float kSmallRoomModulationTime = 0.7f; // s
constexpr double kMaxPassHfCut = 20.0;           // dB a loop may cut at 5 kHz per circulation
constexpr double kMaxPassHfLimit = 20.0;         // dB it is made to cut at most
constexpr double kHfReference = 5000.0;          // Hz, where the HF properties apply
// A cutting shelf meets its target a little below the reference, so the
// whole third octave round 5 kHz decays as asked, not just its top.
// A deep cut stays at the reference: lower down it would reach into the mid
// band's decay.
constexpr double kShelfCornerRatio = 0.85;
constexpr double kMildestTop = 0.1;
constexpr double kSpeedOfSound = 343.3;      // m/s
constexpr double kRampSeconds = 0.02;        // levels and filter coefficients
constexpr double kFadeSeconds = 0.03;        // switching on and off
constexpr double kCrossfadeSeconds = 0.02;   // delay-length changes
constexpr double kMaxModulationTime = 4.0;   // s
constexpr double kPitchDeviation = 0.03;     // at modulation depth 1: about half a semitone
constexpr double kMaxReflectionsDelay = 0.3; // s
constexpr double kMaxReverbDelay = 0.1;      // s
constexpr float kAntiDenormal = 1e-20f;      // keeps decaying states out of denormals
constexpr double kDcCutoff = 10.0;           // Hz, the wet input's DC blocker
// The published environment presets play their room 10 dB under the
// listener levels (room -1000 mB); the table here keeps the listener's
// room at 0 mB, so the wet part carries that -10 dB itself. It leaves the
// loudest rooms within 6 dB of the dry level.
constexpr double kRoomGain = 0.31622776601683794;
constexpr double kMaxLateLevel = 400.0; // mB of late energy over the dry, at most

// Delay-line lengths at the nominal size. Spread geometrically (about 1.17
// apart) and rounded to distinct primes at run time, so the lines share no
// common modes; with the all-passes they give about 0.35 modes per Hz.
constexpr std::array<double, kLines> kLineSeconds = {0.0199, 0.0237, 0.0281, 0.0331,
                                                     0.0389, 0.0451, 0.0521, 0.0601};
// The all-pass inside each loop smears every circulation into many echoes.
constexpr std::array<double, kLines> kLoopAllpassSeconds = {0.0031, 0.0047, 0.0037, 0.0053,
                                                            0.0029, 0.0043, 0.0059, 0.0041};
// An all-pass delays low frequencies by (1 + g) / (1 - g) times its length;
// alternating the sign of g between the loops keeps the bass decay close to
// the decay the loop gains are computed for.
constexpr std::array<float, kLines> kAllpassSigns = {1, -1, 1, -1, 1, -1, 1, -1};
// Input diffusion of the late feed, per input channel. It shrinks with small
// rooms (a long diffuser would ring longer than their decay) but does not
// grow beyond the nominal size.
constexpr std::array<std::array<double, kDiffusers>, kMaxChannels> kDiffuserSeconds = {
    {{0.00142, 0.00357, 0.00531}, {0.00163, 0.00331, 0.00557}}};
// Each line takes the late feed at its own small offset, so the onset is a
// quick burst rather than a single click.
constexpr std::array<double, kLines> kInjectSeconds = {0.0,    0.0011, 0.0023, 0.0037,
                                                       0.0049, 0.0061, 0.0079, 0.0093};
// The early-reflection cluster, per output channel; the first tap lies at
// the reflections delay itself.
constexpr std::array<std::array<double, kTaps>, kMaxChannels> kTapSeconds = {
    {{0.0, 0.0023, 0.0041, 0.0067, 0.0089, 0.0121, 0.0153, 0.0196},
     {0.0, 0.0017, 0.0036, 0.0058, 0.0097, 0.0113, 0.0142, 0.0181}}};
constexpr std::array<std::array<float, kTaps>, kMaxChannels> kTapShape = {
    {{1.0f, -0.93f, 0.87f, 0.81f, -0.74f, 0.66f, -0.60f, 0.52f},
     {1.0f, 0.91f, -0.85f, 0.80f, -0.72f, -0.67f, 0.58f, -0.50f}}};
// How each input channel enters the lines and each output channel leaves
// them. The patterns are mutually orthogonal, so left and right come out
// decorrelated.
constexpr std::array<std::array<float, kLines>, kMaxChannels> kInputSigns = {
    {{1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, -1, -1, -1, -1}}};
constexpr std::array<std::array<float, kLines>, kMaxChannels> kOutputSigns = {
    {{1, -1, 1, -1, 1, -1, 1, -1}, {1, 1, -1, -1, 1, 1, -1, -1}}};

std::size_t Samples(double seconds, double rate) {
    return static_cast<std::size_t>(std::lround(std::max(0.0, seconds * rate)));
}

bool IsPrime(std::size_t v) {
    if (v < 2) {
        return false;
    }
    for (std::size_t d = 2; d * d <= v; ++d) {
        if (v % d == 0) {
            return false;
        }
    }
    return true;
}

std::size_t NextPrime(std::size_t n) {
    while (!IsPrime(n)) {
        ++n;
    }
    return n;
}

// mB to a linear amplitude; -10000 mB and below is silence.
double Level(double millibels) {
    return millibels <= -10000.0 ? 0.0 : std::pow(10.0, millibels / 2000.0);
}

float Clamped(float v, float lo, float hi, float fallback) {
    return std::isfinite(v) ? std::clamp(v, lo, hi) : fallback;
}

// The listener record comes from outside: keep every field in its range.
EaxListener Sanitized(EaxListener l) {
    const EaxListener d;
    l.lRoom = std::clamp(l.lRoom, -10000, 0);
    l.lRoomHF = std::clamp(l.lRoomHF, -10000, 0);
    l.flDecayTime = Clamped(l.flDecayTime, 0.1f, 20.0f, d.flDecayTime);
    l.flDecayHFRatio = Clamped(l.flDecayHFRatio, 0.1f, 2.0f, d.flDecayHFRatio);
    l.lReflections = std::clamp(l.lReflections, -10000, 1000);
    l.flReflectionsDelay = Clamped(l.flReflectionsDelay, 0.0f, 0.3f, d.flReflectionsDelay);
    l.lReverb = std::clamp(l.lReverb, -10000, 2000);
    l.flReverbDelay = Clamped(l.flReverbDelay, 0.0f, 0.1f, d.flReverbDelay);
    l.flEnvironmentSize = Clamped(l.flEnvironmentSize, 1.0f, 100.0f, d.flEnvironmentSize);
    l.flEnvironmentDiffusion = Clamped(l.flEnvironmentDiffusion, 0.0f, 1.0f, 1.0f);
    l.flAirAbsorptionHF = Clamped(l.flAirAbsorptionHF, -100.0f, 0.0f, d.flAirAbsorptionHF);
    return l;
}

// N values that move linearly to new targets over a number of samples, so a
// changed level or filter coefficient never steps.
template <std::size_t N> class Glide {
public:
    using Values = std::array<float, N>;
    void Set(const Values& target, int samples) {
        target_ = target;
        if (samples <= 0 || target == value_) {
            value_ = target;
            left_ = 0;
            return;
        }
        for (std::size_t i = 0; i < N; ++i) {
            step_[i] = (target[i] - value_[i]) / static_cast<float>(samples);
        }
        left_ = samples;
    }
    void Snap() {
        value_ = target_;
        left_ = 0;
    }
    const Values& Next() {
        if (left_ > 0) {
            if (--left_ == 0) {
                value_ = target_;
            } else {
                for (std::size_t i = 0; i < N; ++i) {
                    value_[i] += step_[i];
                }
            }
        }
        return value_;
    }
    const Values& Value() const { return value_; }
    bool Settled() const { return left_ == 0; }

private:
    Values value_{}, target_{}, step_{};
    int left_ = 0;
};

// A power-of-two ring, so a read is a subtraction and a mask.
class DelayLine {
public:
    void Allocate(std::size_t maxDelay) {
        buffer_.assign(std::bit_ceil(maxDelay + 3), 0.0f);
        mask_ = buffer_.size() - 1;
        maxDelay_ = maxDelay + 1;
        pos_ = 0;
    }
    void Clear() { std::fill(buffer_.begin(), buffer_.end(), 0.0f); }
    // The longest delay At may be asked for, and AtFraction up to one less.
    std::size_t MaxDelay() const { return maxDelay_; }
    void Write(float x) {
        pos_ = (pos_ + 1) & mask_;
        buffer_[pos_] = x;
    }
    // The sample written `d` writes ago; 0 is the latest.
    float At(std::size_t d) const { return buffer_[(pos_ - d) & mask_]; }
    // Cubic Lagrange interpolation, d >= 1: flat enough in the pass band that
    // a modulated loop decays like a fixed one.
    float AtFraction(float d) const {
        const auto i = static_cast<std::size_t>(d);
        const float f = d - static_cast<float>(i);
        const float ym1 = At(i - 1), y0 = At(i), y1 = At(i + 1), y2 = At(i + 2);
        const float fp1 = f + 1.0f, fm1 = f - 1.0f, fm2 = f - 2.0f;
        return -f * fm1 * fm2 / 6.0f * ym1 + fp1 * fm1 * fm2 / 2.0f * y0 -
               fp1 * f * fm2 / 2.0f * y1 + fp1 * f * fm1 / 6.0f * y2;
    }

private:
    std::vector<float> buffer_;
    std::size_t mask_ = 0;
    std::size_t maxDelay_ = 0;
    std::size_t pos_ = 0;
};

// Second-order high shelves (slope 1), one per line, run side by side:
// unity well below the corner, `top` well above it, the geometric mean of
// the two at the corner. They damp the loops: steep enough that strong
// high-frequency damping leaves the decay of the mid band alone, and never
// above max(1, top), so a loop whose gain times `top` stays below 1 is
// stable.
class ShelfBank {
public:
    using Lanes = std::array<float, kLines>;

    // Sets line i's target; Commit starts the glide to all the targets.
    void Design(int i, double top, double corner, double rate) {
        std::array<double, 5> c{1.0, 0.0, 0.0, 0.0, 0.0}; // b0 b1 b2 a1 a2
        if (std::abs(top - 1.0) > 1e-9) {
            corner = std::min(corner, 0.4 * rate);
            const double a = std::sqrt(top);
            const double w = 2.0 * std::numbers::pi * corner / rate;
            const double cw = std::cos(w);
            const double sa = 2.0 * std::sqrt(a) * std::sin(w) / std::numbers::sqrt2;
            const double a0 = (a + 1.0) - (a - 1.0) * cw + sa;
            c[0] = a * ((a + 1.0) + (a - 1.0) * cw + sa) / a0;
            c[1] = -2.0 * a * ((a - 1.0) + (a + 1.0) * cw) / a0;
            c[2] = a * ((a + 1.0) + (a - 1.0) * cw - sa) / a0;
            c[3] = 2.0 * ((a - 1.0) - (a + 1.0) * cw) / a0;
            c[4] = ((a + 1.0) - (a - 1.0) * cw - sa) / a0;
        }
        for (int k = 0; k < 5; ++k) {
            target_[k][i] = static_cast<float>(c[k]);
        }
    }
    void Commit(int rampSamples) {
        left_ = target_ == value_ ? 0 : rampSamples;
        if (left_ <= 0) {
            Snap();
            return;
        }
        for (int k = 0; k < 5; ++k) {
            for (int i = 0; i < kLines; ++i) {
                step_[k][i] = (target_[k][i] - value_[k][i]) / static_cast<float>(left_);
            }
        }
    }
    void Process(Lanes& io) {
        if (left_ > 0) {
            if (--left_ == 0) {
                value_ = target_;
            } else {
                for (int k = 0; k < 5; ++k) {
                    for (int i = 0; i < kLines; ++i) {
                        value_[k][i] += step_[k][i];
                    }
                }
            }
        }
        const auto &b0 = value_[0], &b1 = value_[1], &b2 = value_[2];
        const auto &a1 = value_[3], &a2 = value_[4];
        for (int i = 0; i < kLines; ++i) {
            const float x = io[i];
            const float y =
                b0[i] * x + b1[i] * x1_[i] + b2[i] * x2_[i] - a1[i] * y1_[i] - a2[i] * y2_[i];
            x2_[i] = x1_[i];
            x1_[i] = x;
            y2_[i] = y1_[i];
            y1_[i] = y;
            io[i] = y;
        }
    }
    void Snap() {
        value_ = target_;
        left_ = 0;
    }
    void Clear() {
        x1_.fill(0.0f), x2_.fill(0.0f), y1_.fill(0.0f), y2_.fill(0.0f);
        Snap();
    }

private:
    std::array<Lanes, 5> value_{}, target_{}, step_{};
    Lanes x1_{}, x2_{}, y1_{}, y2_{};
    int left_ = 0;
};

// Two one-pole low-passes in a row, unity at DC and `target` together at the
// reference frequency. One pole low enough for -60 dB at 5 kHz would smear
// the onset over tens of milliseconds; two keep it to about one.
class RoomFilter {
public:
    void Design(double target, double reference, double rate, int rampSamples) {
        reference = std::min(reference, 0.4 * rate);
        const double g2 = std::clamp(target, 1e-6, 1.0); // per stage, squared
        float a = 0.0f;
        if (g2 < 0.99999) {
            const double c = std::cos(2.0 * std::numbers::pi * reference / rate);
            const double p = 1.0 - g2 * c;
            const double q = 1.0 - g2;
            a = static_cast<float>((p - std::sqrt(p * p - q * q)) / q);
        }
        pole_.Set({a}, rampSamples);
    }
    float Process(float x) {
        const float a = pole_.Next()[0];
        y1_ = x + a * (y1_ - x);
        y2_ = y1_ + a * (y2_ - y1_);
        return y2_;
    }
    void Clear() {
        y1_ = y2_ = 0.0f;
        pole_.Snap();
    }

private:
    Glide<1> pole_;
    float y1_ = 0.0f, y2_ = 0.0f;
};

// Everything measured in samples that a parameter change can move; a change
// crossfades from the old set to the new one.
struct Geometry {
    std::array<std::size_t, kLines> line{};
    std::array<std::size_t, kLines> allpass{};
    std::array<std::size_t, kLines> inject{};
    std::array<std::array<std::size_t, kDiffusers>, kMaxChannels> diffuser{};
    std::array<std::array<std::size_t, kTaps>, kMaxChannels> taps{};
    std::array<std::size_t, kLines> rightTap{}; // where the right output reads each line
    std::size_t late = 0;
    float swing = 0.0f; // peak-to-peak delay modulation, samples
    bool operator==(const Geometry&) const = default;
};

// The unnormalised 8-point Hadamard transform, its three butterfly stages
// written out; the caller folds in the 1/sqrt(8) that keeps it orthogonal.
void Hadamard(std::array<float, kLines>& v) {
    const float a0 = v[0] + v[1], a1 = v[0] - v[1], a2 = v[2] + v[3], a3 = v[2] - v[3];
    const float a4 = v[4] + v[5], a5 = v[4] - v[5], a6 = v[6] + v[7], a7 = v[6] - v[7];
    const float b0 = a0 + a2, b2 = a0 - a2, b1 = a1 + a3, b3 = a1 - a3;
    const float b4 = a4 + a6, b6 = a4 - a6, b5 = a5 + a7, b7 = a5 - a7;
    v = {b0 + b4, b1 + b5, b2 + b6, b3 + b7, b0 - b4, b1 - b5, b2 - b6, b3 - b7};
}
constexpr float kHadamardScale = 0.35355339059327373f; // 1/sqrt(8)

} // namespace

struct Reverb::Engine {
    int channels = 0;
    double rate = 0.0;

    // Wet input path, per input channel.
    std::array<RoomFilter, kMaxChannels> roomHF;
    std::array<DelayLine, kMaxChannels> pre;
    std::array<std::array<DelayLine, kDiffusers>, kMaxChannels> diffusers;
    std::array<DelayLine, kMaxChannels> spread;

    // Late reverb network.
    std::array<DelayLine, kLines> lines;
    std::array<DelayLine, kLines> loopAllpass;
    ShelfBank dampers;
    Glide<kLines> loopGain;
    Glide<2> diffusion; // in-loop all-pass and input diffuser coefficients

    // Early reflections.
    std::array<std::array<float, kTaps>, kMaxChannels> tapGain{};

    // Delay modulation: one slow sine, its phase spread round the lines.
    double lfoCos = 1.0, lfoSin = 0.0, stepCos = 1.0, stepSin = 0.0;
    std::array<float, kLines> phaseCos{}, phaseSin{};

    Geometry current, previous;
    int crossfadeLeft = 0;
    int crossfadeLength = 1;
    int rampLength = 1;
    int fadeLength = 1;

    std::array<SmoothRamp, 2> levels; // early, late
    // DC blocker on the wet input, per channel, second order: a resonant
    // network's gain at 0 Hz is huge, and an offset (or a drift below a few
    // hertz) must not come out 35 dB louder.
    float dcPole = 0.0f;
    std::array<std::array<float, 2>, kMaxChannels> dcIn{}, dcOut{}; // two stages
    SmoothRamp fade;                                                // the on/off switch
    bool fresh = true;    // nothing heard since Start or Flush: changes need no ramp
    bool bypassed = true; // faded out: samples pass untouched
    bool stale = false;   // the buffers hold an old tail

    Engine(int channelCount, int sampleRate);
    void Apply(const EaxListener& listener, bool enabled);
    void Clear();
    void Run(std::span<float> interleaved);
};

Reverb::Engine::Engine(int channelCount, int sampleRate)
    : channels(channelCount), rate(std::clamp(sampleRate, 1000, 384000)) {
    const double maxSwing =
        2.0 * kPitchDeviation * rate * kMaxModulationTime / (2.0 * std::numbers::pi);
    for (int i = 0; i < kLines; ++i) {
        // Prime rounding and keeping the lengths distinct add a few samples.
        lines[i].Allocate(Samples(kLineSeconds[i] * kMaxLateFactor, rate) + 400 +
                          static_cast<std::size_t>(maxSwing) + 4);
        loopAllpass[i].Allocate(Samples(kLoopAllpassSeconds[i] * kMaxLateFactor, rate) + 2);
        const double phase = 2.0 * std::numbers::pi * i / kLines;
        phaseCos[i] = static_cast<float>(std::cos(phase));
        phaseSin[i] = static_cast<float>(std::sin(phase));
    }
    const double tapSpan = std::max(kTapSeconds[0].back(), kTapSeconds[1].back()) * kMaxSizeFactor;
    const double preSeconds = kMaxReflectionsDelay + std::max(tapSpan, kMaxReverbDelay);
    for (int c = 0; c < kMaxChannels; ++c) {
        pre[c].Allocate(Samples(preSeconds, rate) + 2);
        spread[c].Allocate(Samples(kInjectSeconds.back() * kMaxLateFactor, rate) + 2);
        for (int d = 0; d < kDiffusers; ++d) {
            diffusers[c][d].Allocate(Samples(kDiffuserSeconds[c][d], rate) + 2);
        }
    }
    crossfadeLength = std::max(1, static_cast<int>(kCrossfadeSeconds * rate));
    rampLength = std::max(1, static_cast<int>(kRampSeconds * rate));
    fadeLength = std::max(1, static_cast<int>(kFadeSeconds * rate));
    dcPole = static_cast<float>(std::exp(-2.0 * std::numbers::pi * kDcCutoff / rate));
}

void Reverb::Engine::Clear() {
    for (int c = 0; c < kMaxChannels; ++c) {
        roomHF[c].Clear();
        pre[c].Clear();
        spread[c].Clear();
        for (auto& d : diffusers[c]) {
            d.Clear();
        }
    }
    for (int i = 0; i < kLines; ++i) {
        lines[i].Clear();
        loopAllpass[i].Clear();
    }
    dcIn = {};
    dcOut = {};
    dampers.Clear();
    loopGain.Snap();
    diffusion.Snap();
    for (auto& level : levels) {
        level.Reset(level.Target());
    }
    fade.Reset(fade.Target());
    lfoCos = 1.0;
    lfoSin = 0.0;
    previous = current;
    crossfadeLeft = 0;
    stale = false;
    fresh = true;
}

void Reverb::Engine::Apply(const EaxListener& raw, bool enabled) {
    const EaxListener l = Sanitized(raw);
    if (enabled && bypassed && stale) {
        Clear(); // coming back on: start from silence, not from the old tail
    }
    const int ramp = fresh ? 0 : rampLength;

    // Every line loses 60 dB per decay time whatever its length, so all modes
    // die together. Air absorption may shorten the HF decay.
    const double decay = l.flDecayTime;
    double hfRatio = l.flDecayHFRatio;
    if ((l.dwFlags & kEaxFlagDecayHfLimit) != 0 && l.flAirAbsorptionHF < 0.0f) {
        const double perMetre = std::log10(Level(l.flAirAbsorptionHF));
        const double hfLimitTime = -3.0 / (kSpeedOfSound * perMetre);
        hfRatio = std::min(hfRatio, hfLimitTime / decay);
    }
    hfRatio = std::max(hfRatio, 0.01);

    float modulationTime = 0.25f;
    float modulationDepth = 0.0f;
    if (l.dwEnvironment < static_cast<std::uint32_t>(kEnvironmentCount)) {
        const EnvironmentPreset& preset = Environments()[l.dwEnvironment];
        modulationTime =
            std::clamp(preset.modulationTime, 0.04f, static_cast<float>(kMaxModulationTime));
        modulationDepth = std::clamp(preset.modulationDepth, 0.0f, 1.0f);
    }

    Geometry g;
    // Peak-to-peak swing giving the pitch deviation at this modulation rate.
    g.swing = static_cast<float>(2.0 * kPitchDeviation * modulationDepth * rate * modulationTime /
                                 (2.0 * std::numbers::pi));

    // Size scales every delay. The late network stops growing beyond 45 m,
    // and shrinks when its high frequencies must die fast: one circulation
    // may cut them by at most kMaxPassHfCut, or the damping would reach down
    // into the mid band and shorten its decay too.
    const double factor = l.flEnvironmentSize / kNominalSize;
    const double longestLoop = kLineSeconds.back() + *std::max_element(kLoopAllpassSeconds.begin(),
                                                                       kLoopAllpassSeconds.end());
    const double hfFactor =
        (decay * hfRatio * kMaxPassHfCut / 60.0 - g.swing / (2.0 * rate)) / longestLoop;
    // A small room's lines would be a few milliseconds long: too few modes
    // to carry a long decay, and they ring metallically. Below a delay of
    // kDelayPerDecay (summed over the lines) per second of decay the network
    // grows, whatever the room's size; the early reflections keep the size.
    const double lineSum = std::accumulate(kLineSeconds.begin(), kLineSeconds.end(), 0.0);
    const double densityFactor = std::min(kDelayPerDecay * decay / lineSum, kMaxDensityFactor);
    // It may not grow so far that one circulation would have to cut the
    // high frequencies by more than kMaxPassHfLimit.
    const double hfLimit = (decay * hfRatio * kMaxPassHfLimit / 60.0) / longestLoop;
    const double lateFactor =
        std::clamp(std::max(std::min(factor, hfFactor), std::min(densityFactor, hfLimit)),
                   kMinLateFactor, kMaxLateFactor);
    // A small room's few modes still ring on a sustained note; a slow wobble
    // of about a fifth of a semitone smears them (each mode sweeps across
    // its neighbours' spacing), as a real room's air movement does.
    if (factor < kSmallRoomFactor && modulationDepth == 0.0f) {
        modulationTime = kSmallRoomModulationTime;
        g.swing = static_cast<float>(2.0 * kPitchDeviation * kSmallRoomModulationDepth * rate *
                                     modulationTime / (2.0 * std::numbers::pi));
    }
    for (int i = 0; i < kLines; ++i) {
        std::size_t n =
            NextPrime(std::max<std::size_t>(2, Samples(kLineSeconds[i] * lateFactor, rate)));
        if (i > 0 && n <= g.line[i - 1]) {
            n = NextPrime(g.line[i - 1] + 1);
        }
        g.line[i] = std::min(n, lines[i].MaxDelay() - static_cast<std::size_t>(g.swing) - 3);
        g.allpass[i] = std::clamp<std::size_t>(Samples(kLoopAllpassSeconds[i] * lateFactor, rate),
                                               1, loopAllpass[i].MaxDelay());
        g.inject[i] = std::min(Samples(kInjectSeconds[i] * lateFactor, rate), spread[0].MaxDelay());
        g.rightTap[i] = g.line[i] / 2;
    }
    const std::size_t reflections = Samples(l.flReflectionsDelay, rate);
    for (int c = 0; c < kMaxChannels; ++c) {
        for (int d = 0; d < kDiffusers; ++d) {
            g.diffuser[c][d] = std::clamp<std::size_t>(
                Samples(kDiffuserSeconds[c][d] * std::min(lateFactor, 1.0), rate), 1,
                diffusers[c][d].MaxDelay());
        }
        for (int k = 0; k < kTaps; ++k) {
            g.taps[c][k] = std::min(
                reflections + Samples(kTapSeconds[c][k] * std::min(factor, kMaxTapFactor), rate),
                pre[c].MaxDelay());
        }
    }
    g.late = std::min(Samples(l.flReflectionsDelay + l.flReverbDelay, rate), pre[0].MaxDelay());

    Glide<kLines>::Values gains{};
    double meanSquare = 0.0;
    for (int i = 0; i < kLines; ++i) {
        const double loop = static_cast<double>(g.line[i] + g.allpass[i]) + g.swing / 2.0;
        const double low = std::pow(10.0, -3.0 * loop / (decay * rate));
        const double high = std::pow(10.0, -3.0 * loop / (decay * hfRatio * rate));
        // The shelf meets its target at the corner with twice the change
        // further up (a cut as air would make it); a lift stays below what
        // would make the loop gain reach 1.
        const double target = high / low;
        const double top = target < 1.0 ? std::max(target * target, 1e-4) : target * target;
        const bool mild = target < 1.0 && top >= kMildestTop;
        dampers.Design(i, std::min(top, 0.999 / low),
                       kHfReference * (mild ? kShelfCornerRatio : 1.0), rate);
        gains[i] = static_cast<float>(low);
        meanSquare += low * low / kLines;
    }
    dampers.Commit(ramp);
    loopGain.Set(gains, ramp);
    // A unit impulse leaves about kLines / (1 - g^2) of energy in the output
    // sum; scale so the late energy equals the reverb level squared.
    const double lateNorm = std::sqrt((1.0 - meanSquare) / kLines);

    const double room = Level(l.lRoom);
    for (int c = 0; c < kMaxChannels; ++c) {
        roomHF[c].Design(Level(l.lRoomHF), kHfReference, rate, ramp);
        double energy = 0.0;
        for (float s : kTapShape[c]) {
            energy += static_cast<double>(s) * s;
        }
        for (int k = 0; k < kTaps; ++k) {
            tapGain[c][k] = static_cast<float>(kTapShape[c][k] / std::sqrt(energy));
        }
    }
    diffusion.Set({static_cast<float>(0.6 * l.flEnvironmentDiffusion),
                   static_cast<float>(0.7 * l.flEnvironmentDiffusion)},
                  ramp);

    const double step = 2.0 * std::numbers::pi / (modulationTime * rate);
    stepCos = std::cos(step);
    stepSin = std::sin(step);

    // However loud the listener asks for the late part, it stays within
    // kMaxLateLevel of the dry level: Under Water's +1700 mB would otherwise
    // lift music by 8 dB and drive it into the limiter.
    const double late = std::min(kRoomGain * room * Level(l.lReverb), Level(kMaxLateLevel));
    levels[0].SetTarget(static_cast<float>(kRoomGain * room * Level(l.lReflections)), ramp);
    levels[1].SetTarget(static_cast<float>(late * lateNorm), ramp);

    if (fresh) {
        current = previous = g;
        crossfadeLeft = 0;
    } else if (!(g == current)) {
        // Mid-way through a crossfade, start from whichever set is heard most.
        if (crossfadeLeft * 2 < crossfadeLength) {
            previous = current;
        }
        current = g;
        crossfadeLeft = crossfadeLength;
    }

    fade.SetTarget(enabled ? 1.0f : 0.0f, fresh ? 0 : fadeLength);
    if (enabled) {
        bypassed = false;
    } else if (fade.Settled()) {
        bypassed = true;
        stale = !fresh;
    }
}

void Reverb::Engine::Run(std::span<float> data) {
    const std::size_t frames = data.size() / static_cast<std::size_t>(channels);
    fresh = false;
    std::array<float, kLines> feedback{};
    std::array<float, kLines> state{};
    for (std::size_t f = 0; f < frames; ++f) {
        float* x = data.data() + f * static_cast<std::size_t>(channels);
        const float on = fade.Next();
        const float early = levels[0].Next() * on;
        const float late = levels[1].Next() * on;
        const auto& gain = loopGain.Next();
        const auto& diffuse = diffusion.Next();

        const bool crossfading = crossfadeLeft > 0;
        float w = 1.0f;
        if (crossfading) {
            w = SmoothStep(1.0f -
                           static_cast<float>(crossfadeLeft) / static_cast<float>(crossfadeLength));
            --crossfadeLeft;
        }
        auto mix = [w](float then, float now) { return then + w * (now - then); };

        // Wet input, early reflections and the diffused late feed.
        std::array<float, kMaxChannels> reflected{};
        std::array<float, kLines> feed{};
        for (int c = 0; c < channels; ++c) {
            // The feed fades in with the switch: the delay lines start from
            // silence, and an unfaded input would reach the output as a step
            // once the pre-delay has passed, after the output fade is over.
            float blocked = x[c];
            for (int k = 0; k < 2; ++k) {
                const float y = blocked - dcIn[c][k] + dcPole * dcOut[c][k];
                dcIn[c][k] = blocked;
                dcOut[c][k] = y;
                blocked = y;
            }
            pre[c].Write(roomHF[c].Process(on * blocked + kAntiDenormal));
            float sum = 0.0f;
            for (int k = 0; k < kTaps; ++k) {
                const float now = pre[c].At(current.taps[c][k]);
                sum +=
                    tapGain[c][k] * (crossfading ? mix(pre[c].At(previous.taps[c][k]), now) : now);
            }
            reflected[c] = sum;

            float v = pre[c].At(current.late);
            if (crossfading) {
                v = mix(pre[c].At(previous.late), v);
            }
            for (int d = 0; d < kDiffusers; ++d) {
                DelayLine& ap = diffusers[c][d];
                float delayed = ap.At(current.diffuser[c][d] - 1);
                if (crossfading) {
                    delayed = mix(ap.At(previous.diffuser[c][d] - 1), delayed);
                }
                const float inner = v + diffuse[1] * delayed;
                ap.Write(inner);
                v = delayed - diffuse[1] * inner;
            }
            spread[c].Write(v);
            for (int i = 0; i < kLines; ++i) {
                float s = spread[c].At(current.inject[i]);
                if (crossfading) {
                    s = mix(spread[c].At(previous.inject[i]), s);
                }
                feed[i] += kInputSigns[c][i] * s;
            }
        }

        // The network: read each line (modulated if need be), diffuse, damp, mix.
        const bool modulated = current.swing > 0.0f || (crossfading && previous.swing > 0.0f);
        if (modulated) {
            const double c = lfoCos * stepCos - lfoSin * stepSin;
            lfoSin = lfoSin * stepCos + lfoCos * stepSin;
            lfoCos = c;
        }
        for (int i = 0; i < kLines; ++i) {
            auto readLine = [&](const Geometry& g) {
                if (g.swing <= 0.0f) {
                    return lines[i].At(g.line[i] - 1);
                }
                const float sine = static_cast<float>(lfoSin) * phaseCos[i] +
                                   static_cast<float>(lfoCos) * phaseSin[i];
                return lines[i].AtFraction(static_cast<float>(g.line[i] - 1) +
                                           0.5f * g.swing * (1.0f + sine));
            };
            float r = readLine(current);
            float delayed = loopAllpass[i].At(current.allpass[i] - 1);
            if (crossfading) {
                r = mix(readLine(previous), r);
                delayed = mix(loopAllpass[i].At(previous.allpass[i] - 1), delayed);
            }
            const float k = kAllpassSigns[i] * diffuse[0];
            const float inner = r + k * delayed;
            loopAllpass[i].Write(inner);
            feedback[i] = delayed - k * inner;
        }
        dampers.Process(feedback);
        for (int i = 0; i < kLines; ++i) {
            feedback[i] *= gain[i] * kHadamardScale;
        }
        Hadamard(feedback);
        for (int i = 0; i < kLines; ++i) {
            state[i] = feed[i] + feedback[i] + kAntiDenormal;
            lines[i].Write(state[i]);
        }

        // The left output reads the lines where they are written, the right
        // one half-way along them: the two sides hear different echoes of the
        // same network, so even a small room's tails stay apart.
        float left = 0.0f;
        for (int i = 0; i < kLines; ++i) {
            left += kOutputSigns[0][i] * state[i];
        }
        x[0] += early * reflected[0] + late * left;
        if (channels == 2) {
            float right = 0.0f;
            for (int i = 0; i < kLines; ++i) {
                float r = lines[i].At(current.rightTap[i]);
                if (crossfading) {
                    r = mix(lines[i].At(previous.rightTap[i]), r);
                }
                right += kOutputSigns[1][i] * r;
            }
            x[1] += early * reflected[1] + late * right;
        }
    }

    // The phasor drifts off the unit circle slowly; pull it back once a block.
    const double norm = 1.0 / std::sqrt(lfoCos * lfoCos + lfoSin * lfoSin);
    lfoCos *= norm;
    lfoSin *= norm;

    if (fade.Settled() && fade.Value() == 0.0f) {
        bypassed = true;
        stale = true;
    }
}

Reverb::Reverb() = default;
Reverb::~Reverb() = default;
Reverb::Reverb(Reverb&&) noexcept = default;
Reverb& Reverb::operator=(Reverb&&) noexcept = default;

void Reverb::Start(int channels, int rate) {
    engine_.reset();
    if (channels < 1 || channels > kMaxChannels || rate <= 0) {
        return; // an unsupported layout passes through untouched
    }
    engine_ = std::make_unique<Engine>(channels, rate);
    engine_->Apply(listener_, enabled_);
}

void Reverb::SetParameters(const EaxListener& listener, bool enabled) {
    // The chain passes the whole effect state on every change; an unchanged
    // listener must not restart ramps or crossfades.
    if (engine_ && enabled == enabled_ &&
        std::memcmp(&listener, &listener_, sizeof listener) == 0) {
        return;
    }
    listener_ = listener;
    enabled_ = enabled;
    if (engine_) {
        engine_->Apply(listener_, enabled_);
    }
}

void Reverb::Process(std::span<float> interleaved) {
    if (!engine_ || engine_->bypassed) {
        return;
    }
    engine_->Run(interleaved);
}

bool Reverb::Bypassed() const {
    return !engine_ || engine_->bypassed;
}

void Reverb::Flush() {
    if (!engine_) {
        return;
    }
    engine_->Clear();
    if (engine_->fade.Value() == 0.0f) {
        engine_->bypassed = true;
    }
}

} // namespace mixora
