#pragma once
// The safety limiter at the end of the chain: an equalizer boost or a loud
// room must not drive the output past full scale, where the sink's
// conversion would clip it hard.
//
// Zero latency, so it cannot move the sound in time. Below the threshold
// (-1 dBFS) it does nothing at all: samples pass bit-exact. Above it the
// gain rides the peaks down onto a soft knee towards -0.6 dBFS: it falls
// within about 0.1 ms (fast enough that a swelling peak seldom reaches the
// clipper below, whose rounding would spray high harmonics), holds for
// 10 ms and recovers over about 80 ms, so a few peaks do not make the music
// pump. What the attack lets through above -0.4 dBFS is rounded off by a
// soft clipper that approaches, but never reaches, full scale.
#include <span>

namespace mixora {

class Limiter {
public:
    static constexpr float kThreshold = 0.891251f; // -1 dBFS

    void Start(int channels, int rate);
    // In place, interleaved, whole frames.
    void Process(std::span<float> interleaved);
    // Nothing before it needs limiting any more: glides the gain back to
    // unity within 30 ms (a no-op once there), limiting nothing new.
    void Release(std::span<float> interleaved);
    void Flush();
    // True while the gain is still recovering from a peak.
    bool Active() const { return gain_ < 1.0f; }

private:
    int channels_ = 0;
    int holdFrames_ = 1;
    int held_ = 0;
    float attack_ = 0.0f;  // per-frame approach to a lower gain
    float release_ = 0.0f; // per-frame recovery towards unity
    float glide_ = 0.0f;   // per-frame step of the final glide to unity
    float gain_ = 1.0f;
};

} // namespace mixora
