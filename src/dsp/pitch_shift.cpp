#include "dsp/pitch_shift.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

namespace mixora {

namespace {

double RatioFor(int semitones) {
    return std::pow(2.0, semitones / 12.0);
}

} // namespace

void PitchShift::Start(int channels, int rate) {
    channels_ = std::max(channels, 1);
    const double r = rate > 0 ? rate : 44100;
    grain_ = std::max(64, 2 * static_cast<int>(std::lround(0.023 * r)));
    hop_ = grain_ / 2;
    search_ = std::max(4, static_cast<int>(std::lround(0.010 * r)));
    match_ = std::max(8, static_cast<int>(std::lround(0.010 * r)));
    // Every grain is placed so that, at its middle, it reads the input
    // exactly latency_ frames back, whatever the ratio: the sound keeps one
    // delay for every key. Half a grain either side it runs up to
    // (ratio - 1) * hop ahead or behind; the lag must leave room for that,
    // for the search, and for the match to look ahead of the candidates.
    const double spread = std::max(RatioFor(kMaxSemitones) - 1.0, 1.0 - RatioFor(-kMaxSemitones));
    latency_ = search_ + match_ + static_cast<int>(std::ceil(spread * hop_)) + 8;
    const auto frames =
        std::bit_ceil(static_cast<std::uint64_t>(grain_ + latency_ + 2 * search_ + 8));
    mask_ = frames - 1;
    ring_.assign(frames * channels_, 0.0f);
    mono_.assign(frames, 0.0f);
    reference_.assign(static_cast<std::size_t>(match_ / 4 + 2), 0.0f);
    candidates_.assign(static_cast<std::size_t>((2 * search_ + 8) / 4 + match_ / 4 + 4), 0.0f);
    window_.resize(grain_);
    for (int n = 0; n < grain_; ++n) {
        const double s = std::sin(std::numbers::pi * n / grain_);
        window_[n] = static_cast<float>(s * s); // w[n] + w[n + hop] == 1
    }
    fadeSamples_ = std::max(1, static_cast<int>(std::lround(0.030 * r)));
    Flush();
}

void PitchShift::SetSemitones(int semitones) {
    semitones_ = std::clamp(semitones, -kMaxSemitones, kMaxSemitones);
    if (semitones_ != 0) {
        // Going back to 0 keeps the last ratio while the shifted sound fades.
        ratio_ = RatioFor(semitones_);
    }
    mix_.SetTarget(semitones_ != 0 ? 1.0f : 0.0f, fadeSamples_);
}

bool PitchShift::Bypassed() const {
    return semitones_ == 0 && mix_.Settled() && mix_.Value() == 0.0f;
}

void PitchShift::Flush() {
    std::fill(ring_.begin(), ring_.end(), 0.0f);
    std::fill(mono_.begin(), mono_.end(), 0.0f);
    written_ = 0;
    running_ = false;
    mix_.Reset(semitones_ != 0 ? 1.0f : 0.0f);
}

void PitchShift::Restart(std::int64_t now) {
    hopPos_ = 0;
    bias_ = 0.0;
    // A grain that would have been reading at the nominal lag; it becomes
    // the "previous" grain of the first real one.
    current_ = Grain{NominalStart(now - hop_, ratio_), ratio_};
    running_ = true;
}

void PitchShift::StartGrain(std::int64_t now) {
    previous_ = current_;
    const double continuation = previous_.start + previous_.ratio * hop_;
    // On a steady tone the best matches fall either side of the nominal
    // place; on noise the best match is always the plain continuation,
    // which runs ahead (or behind) by (ratio - 1) * hop a grain and so
    // would sit at the edge of the search. Steering the search window
    // against the offsets chosen keeps their mean, and so the delay, at
    // the nominal lag for any material.
    const double exact = NominalStart(now, ratio_);
    const auto nominal = static_cast<std::int64_t>(std::lround(exact - bias_));
    const auto offset = BestStart(nominal, continuation);
    current_ = Grain{continuation + static_cast<double>(offset), ratio_};
    bias_ = std::clamp(bias_ + 0.5 * (current_.start - exact), -1.0 * search_, 1.0 * search_);
}

// Where a grain starting at output frame `now` must begin reading so that
// its middle (hop frames on, where its window peaks) lags by latency_.
double PitchShift::NominalStart(std::int64_t now, double ratio) const {
    return static_cast<double>(now) + hop_ * (1.0 - ratio) - latency_;
}

// Returns k such that a grain starting at continuation + k (within the
// search range around nominal) reads a waveform most like the one the
// previous grain reads at continuation. Whole-sample offsets keep a steady
// signal exactly in step when the ratio is 1.
std::int64_t PitchShift::BestStart(std::int64_t nominal, double continuation) {
    const auto base = static_cast<std::int64_t>(std::floor(continuation));
    const auto lowest = static_cast<std::int64_t>(std::ceil(nominal - search_ - continuation));
    const auto highest = static_cast<std::int64_t>(std::floor(nominal + search_ - continuation));
    if (highest <= lowest) {
        return lowest;
    }
    auto at = [this](std::int64_t i) { return mono_[static_cast<std::uint64_t>(i) & mask_]; };
    auto score = [&](std::int64_t k, int stride) {
        double dot = 0.0;
        double energy = 0.0;
        for (int m = 0; m < match_; m += stride) {
            const double b = at(base + k + m);
            dot += at(base + m) * b;
            energy += b * b;
        }
        return energy > 1e-12 ? dot / std::sqrt(energy) : 0.0;
    };

    // Prefer the plain continuation when nothing matches better (silence).
    std::int64_t best = std::clamp<std::int64_t>(0, lowest, highest);
    double bestScore = score(best, 4);
    // The coarse pass on every fourth sample, copied out of the ring into
    // plain arrays so the products run as vector operations.
    const auto coarse = static_cast<std::size_t>((highest - lowest) / 4 + 1);
    const auto terms = static_cast<std::size_t>((match_ + 3) / 4);
    for (std::size_t j = 0; j < terms; ++j) {
        reference_[j] = at(base + 4 * static_cast<std::int64_t>(j));
    }
    for (std::size_t j = 0; j < coarse + terms; ++j) {
        candidates_[j] = at(base + lowest + 4 * static_cast<std::int64_t>(j));
    }
    using Four = float __attribute__((vector_size(16)));
    for (std::size_t q = 0; q < coarse; ++q) {
        // Four running sums side by side, one vector register each.
        Four dots{}, energies{};
        const float* b = candidates_.data() + q;
        std::size_t m = 0;
        for (; m + 4 <= terms; m += 4) {
            Four r, c;
            std::memcpy(&r, reference_.data() + m, sizeof r);
            std::memcpy(&c, b + m, sizeof c);
            dots += r * c;
            energies += c * c;
        }
        float dot = dots[0] + dots[1] + dots[2] + dots[3];
        float energy = energies[0] + energies[1] + energies[2] + energies[3];
        for (; m < terms; ++m) {
            dot += reference_[m] * b[m];
            energy += b[m] * b[m];
        }
        const double s = energy > 1e-12f ? dot / std::sqrt(static_cast<double>(energy)) : 0.0;
        if (s > bestScore) {
            bestScore = s;
            best = lowest + 4 * static_cast<std::int64_t>(q);
        }
    }
    // Refine at full resolution around the coarse pick.
    const std::int64_t from = std::max(lowest, best - 3);
    const std::int64_t to = std::min(highest, best + 3);
    bestScore = score(best, 1);
    for (std::int64_t k = from; k <= to; ++k) {
        const double s = score(k, 1);
        if (s > bestScore) {
            bestScore = s;
            best = k;
        }
    }
    return best;
}

// Where a read position falls: the four history slots round it and the
// fraction, shared by every channel.
inline PitchShift::Tap PitchShift::TapAt(double position) const {
    const double fl = std::floor(position);
    const auto i = static_cast<std::int64_t>(fl);
    Tap t;
    for (int k = 0; k < 4; ++k) {
        t.slot[k] = (static_cast<std::uint64_t>(i - 1 + k) & mask_) * channels_;
    }
    t.fraction = static_cast<float>(position - fl);
    return t;
}

// Four-point cubic (Catmull-Rom) interpolation of one channel's history.
// Inline: it runs twice per channel and sample.
inline float PitchShift::Read(const Tap& tap, int channel) const {
    const float x0 = ring_[tap.slot[0] + channel], x1 = ring_[tap.slot[1] + channel];
    const float x2 = ring_[tap.slot[2] + channel], x3 = ring_[tap.slot[3] + channel];
    const float t = tap.fraction;
    const float c1 = 0.5f * (x2 - x0);
    const float c2 = x0 - 2.5f * x1 + 2.0f * x2 - 0.5f * x3;
    const float c3 = 0.5f * (x3 - x0) + 1.5f * (x1 - x2);
    return ((c3 * t + c2) * t + c1) * t + x1;
}

void PitchShift::Process(std::span<float> interleaved) {
    if (channels_ == 0) {
        return;
    }
    const std::size_t frames = interleaved.size() / channels_;
    const float scale = 1.0f / static_cast<float>(channels_);
    const bool bypassed = Bypassed();
    float* frame = interleaved.data();
    for (std::size_t f = 0; f < frames; ++f, frame += channels_) {
        // The history is kept even while bypassed, so switching on starts
        // from real sound rather than silence.
        const std::uint64_t slot = static_cast<std::uint64_t>(written_) & mask_;
        float sum = 0.0f;
        for (int ch = 0; ch < channels_; ++ch) {
            ring_[slot * channels_ + ch] = frame[ch];
            sum += frame[ch];
        }
        mono_[slot] = sum * scale;
        if (bypassed) {
            ++written_;
            continue;
        }
        if (!running_) {
            Restart(written_);
        }
        if (hopPos_ == 0) {
            StartGrain(written_);
        }
        const int n = hopPos_;
        const float wNew = window_[n];
        const float wOld = window_[n + hop_];
        const double posNew = current_.start + current_.ratio * n;
        const double posOld = previous_.start + previous_.ratio * (n + hop_);
        const float wet = mix_.Next();
        const Tap tNew = TapAt(posNew), tOld = TapAt(posOld);
        for (int ch = 0; ch < channels_; ++ch) {
            const float y = wNew * Read(tNew, ch) + wOld * Read(tOld, ch);
            frame[ch] += wet * (y - frame[ch]);
        }
        ++written_;
        if (++hopPos_ == hop_) {
            hopPos_ = 0;
        }
    }
    if (Bypassed()) {
        running_ = false;
    }
}

} // namespace mixora
