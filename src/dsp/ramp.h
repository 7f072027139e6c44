#pragma once
// A straight-line glide of one value towards a target over a fixed number of
// samples: how every effect switches on and off (and changes its amount)
// without a click.

namespace mixora {

class LinearRamp {
public:
    // Jumps to v at once.
    void Reset(float v) {
        value_ = target_ = v;
        step_ = 0.0f;
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
        remaining_ = samples;
        step_ = (target_ - value_) / static_cast<float>(samples);
    }

    // The value for the next sample.
    float Next() {
        if (remaining_ > 0) {
            --remaining_;
            value_ = remaining_ == 0 ? target_ : value_ + step_;
        }
        return value_;
    }

    float Value() const { return value_; }
    float Target() const { return target_; }
    bool Settled() const { return remaining_ == 0; }

private:
    float value_ = 0.0f;
    float target_ = 0.0f;
    float step_ = 0.0f;
    int remaining_ = 0;
};

} // namespace mixora
