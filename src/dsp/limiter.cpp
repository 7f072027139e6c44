#include "dsp/limiter.h"

#include <algorithm>
#include <cmath>

namespace mixora {
namespace {

constexpr float kAttackSeconds = 0.0001f;
constexpr float kHoldSeconds = 0.010f;
constexpr float kReleaseSeconds = 0.080f;
constexpr float kGlideSeconds = 0.030f;
// The gain rides peaks onto a knee rising from the threshold towards
// -0.6 dBFS; what the 0.1 ms attack lets through above -0.4 dBFS is rounded
// off towards full scale by a soft clipper, which a sample can never pass.
constexpr float kKneeTop = 0.933254f; // -0.6 dBFS
constexpr float kCeiling = 0.954993f; // -0.4 dBFS
// Recovery closer to unity than this ends at unity: -120 dB of a step.
constexpr float kUnitySnap = 1e-6f;

// tanh by its (3, 2) Pade approximant: within 2.5% up to 3, where it
// reaches 1 with zero slope; rising throughout, and cheap per sample.
float SoftSaturate(float x) {
    if (x >= 3.0f) {
        return 1.0f;
    }
    const float x2 = x * x;
    return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

// `v` above `from` bent towards `to`: leaves the straight line with slope 1,
// so the curve has no corner.
float Bend(float v, float from, float to) {
    return from + (to - from) * SoftSaturate((v - from) / (to - from));
}

} // namespace

void Limiter::Start(int channels, int rate) {
    channels_ = std::max(channels, 1);
    const float r = rate > 0 ? static_cast<float>(rate) : 44100.0f;
    holdFrames_ = std::max(1, static_cast<int>(kHoldSeconds * r));
    attack_ = 1.0f - std::exp(-1.0f / (kAttackSeconds * r));
    release_ = 1.0f - std::exp(-1.0f / (kReleaseSeconds * r));
    glide_ = 1.0f / (kGlideSeconds * r);
    Flush();
}

void Limiter::Flush() {
    gain_ = 1.0f;
    held_ = 0;
}

void Limiter::Process(std::span<float> interleaved) {
    if (channels_ == 0) {
        return;
    }
    const std::size_t frames = interleaved.size() / static_cast<std::size_t>(channels_);
    float* x = interleaved.data();
    for (std::size_t f = 0; f < frames; ++f, x += channels_) {
        float peak = 0.0f;
        for (int c = 0; c < channels_; ++c) {
            peak = std::max(peak, std::abs(x[c]));
        }
        const float wanted = peak > kThreshold ? Bend(peak, kThreshold, kKneeTop) / peak : 1.0f;
        if (wanted < gain_) {
            gain_ += attack_ * (wanted - gain_);
            held_ = holdFrames_;
        } else if (held_ > 0) {
            --held_;
        } else if (gain_ < 1.0f) {
            gain_ = std::min(wanted, gain_ + release_ * (1.0f - gain_));
            if (1.0f - gain_ < kUnitySnap) {
                gain_ = 1.0f;
            }
        }
        if (gain_ == 1.0f && peak <= kCeiling) {
            continue; // the common case: untouched
        }
        for (int c = 0; c < channels_; ++c) {
            const float y = x[c] * gain_;
            const float a = std::abs(y);
            x[c] = a <= kCeiling ? y : std::copysign(Bend(a, kCeiling, 1.0f), y);
        }
    }
}

void Limiter::Release(std::span<float> interleaved) {
    if (channels_ == 0) {
        return;
    }
    const std::size_t frames = interleaved.size() / static_cast<std::size_t>(channels_);
    float* x = interleaved.data();
    for (std::size_t f = 0; f < frames && gain_ < 1.0f; ++f, x += channels_) {
        gain_ = std::min(1.0f, gain_ + glide_);
        for (int c = 0; c < channels_; ++c) {
            x[c] *= gain_;
        }
    }
    held_ = 0;
}

} // namespace mixora
