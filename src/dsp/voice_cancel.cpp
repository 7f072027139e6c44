#include "dsp/voice_cancel.h"

#include <algorithm>
#include <cmath>

namespace mixora {

void VoiceCancel::Start(int channels, int rate) {
    channels_ = channels;
    const double r = rate > 0 ? rate : 44100;
    fadeSamples_ = std::max(1, static_cast<int>(std::lround(0.030 * r)));
    // Butterworth fourth order (pole pairs with Q 0.5412 and 1.3066), twice.
    for (int i = 0; i < 4; ++i) {
        const double q = i % 2 == 0 ? 0.54119610 : 1.30656296;
        lowPass_[i] = LowPassCoefficients(kCrossover, q, r);
        highPass_[i] = HighPassCoefficients(kCrossover, q, r);
    }
    Flush();
}

void VoiceCancel::SetEnabled(bool on) {
    enabled_ = on;
    mix_.SetTarget(on ? 1.0f : 0.0f, fadeSamples_);
}

void VoiceCancel::ClearLows() {
    for (auto& s : lows_) {
        s.Clear();
    }
}

bool VoiceCancel::Bypassed() const {
    return channels_ != 2 || (!enabled_ && mix_.Settled() && mix_.Value() == 0.0f);
}

void VoiceCancel::Flush() {
    ClearLows();
    side_.Clear();
    mix_.Reset(enabled_ ? 1.0f : 0.0f);
}

void VoiceCancel::Process(std::span<float> interleaved) {
    if (Bypassed()) {
        return;
    }
    const std::size_t frames = interleaved.size() / 2;
    float* p = interleaved.data();
    for (std::size_t i = 0; i < frames; ++i, p += 2) {
        const double l = p[0];
        const double r = p[1];
        const double side = side_.Run(highPass_, l - r);
        DoublePair low = {l, r};
        for (int k = 0; k < 4; ++k) {
            low = lows_[k].Run(lowPass_[k], low);
        }
        const double outL = low[0] + side;
        const double outR = low[1] - side;
        const float wet = mix_.Next();
        p[0] = static_cast<float>(l + wet * (outL - l));
        p[1] = static_cast<float>(r + wet * (outR - r));
    }
    if (!enabled_ && mix_.Settled() && mix_.Value() == 0.0f) {
        ClearLows();
        side_.Clear();
    }
}

} // namespace mixora
