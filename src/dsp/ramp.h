#pragma once
// A glide of one value towards a target over a fixed number of samples:
// how every effect switches on and off (and changes its amount) without a
// click. The glide follows a smoothstep, level at both ends: a straight
// line's corners would spray a faint burst of high frequencies on a tone.

namespace mixora {

// 3t^2 - 2t^3: 0 at 0, 1 at 1, with zero slope at both ends.
inline float SmoothStep(float t) {
    return t * t * (3.0f - 2.0f * t);
}

class SmoothRamp {
public:
    // Jumps to v at once.
    void Reset(float v) {
        value_ = start_ = target_ = v;
        remaining_ = 0;
    }

    // Glides from the present value to target over samples steps.
    void SetTarget(float target, int samples) {
        if (target == target_ && (remaining_ > 0 || value_ == target_)) {
            return;
        }
        target_ = target;
        if (samples <= 0) {
            Reset(target);
            return;
        }
        start_ = value_;
        length_ = samples;
        remaining_ = samples;
    }

    // The value for the next sample.
    float Next() {
        if (remaining_ > 0) {
            --remaining_;
            const float t = 1.0f - static_cast<float>(remaining_) / static_cast<float>(length_);
            value_ = remaining_ == 0 ? target_ : start_ + (target_ - start_) * SmoothStep(t);
        }
        return value_;
    }

    float Value() const { return value_; }
    float Target() const { return target_; }
    bool Settled() const { return remaining_ == 0; }

private:
    float value_ = 0.0f;
    float start_ = 0.0f;
    float target_ = 0.0f;
    int length_ = 1;
    int remaining_ = 0;
};

} // namespace mixora
