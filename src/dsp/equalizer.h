#pragma once
// The ten-band graphic equalizer: one filter per band, their gains solved so
// the cascade draws the sliders' curve (see EqDesign), driven by the 120-byte
// equalizer record.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "dsp/biquad.h"
#include "dsp/eq_design.h"
#include "dsp/ramp.h"

namespace mixora {

class Equalizer {
public:
    static constexpr int kBands = 10;

    // Band gains in hundredths of a dB, clamped to -1200..1200, and the
    // enable mask, as the record holds them (little-endian words).
    static std::array<int, kBands> BandGains(std::span<const std::uint8_t, 120> record);
    static std::uint32_t EnableMask(std::span<const std::uint8_t, 120> record);

    // Negotiates the format; clears all history. Not real-time safe.
    void Start(int channels, int rate);
    // Takes a new record: gains glide to it within 20 ms; a change of the
    // enable mask between 0 and not 0 crossfades. Streaming thread.
    void SetRecord(std::span<const std::uint8_t, 120> record);
    // In place, interleaved. With the mask 0 (and the fade out finished) the
    // samples are not touched at all.
    void Process(std::span<float> interleaved);
    void Flush();

    // True while Process leaves the samples exactly as they are.
    bool Bypassed() const;

private:
    static constexpr int kBlock = 32; // frames between coefficient updates

    void UpdateCoefficients(int band);
    void Advance(); // one block's worth of gain glide
    void ProcessBlock(float* frames, int count);

    int channels_ = 0;
    double rate_ = 44100.0;
    int glideBlocks_ = 1;
    int fadeSamples_ = 1;
    bool enabled_ = false;
    EqDesign design_;
    EqDesign::Gains sliders_{};                             // dB, as the record holds them
    std::array<double, kBands> target_{};                   // filter gains, dB
    std::array<double, kBands> current_{};                  // dB
    std::array<double, kBands> increment_{};                // dB per block
    std::array<int, kBands> remaining_{};                   // blocks left in a glide
    std::array<bool, kBands> running_{};                    // filter is not (yet) transparent
    std::array<BiquadCoefficients, kBands> coefficients_{}; // at the end of the block
    std::array<BiquadCoefficients, kBands> from_{};         // at its start, while gliding
    std::array<bool, kBands> gliding_{};
    std::vector<std::array<BiquadState, kBands>> state_; // per channel
    SmoothRamp mix_;                                     // 0 = dry, 1 = equalized
};

} // namespace mixora
