#pragma once
// Key shift: moves the pitch by -4..+4 semitones and keeps the tempo.
//
// A streaming granular shifter: every output grain (46 ms, Hann window, half
// overlapped) reads the recent input at the pitch ratio. Each new grain's
// start is searched (+-10 ms around its nominal place) for the spot whose
// waveform best matches where the previous grain is reading, so the two
// overlap in phase: no beating, no phasiness on tones. One sample in, one
// sample out; while shifting, the output lags the input by a fixed ~26 ms
// whatever the key (LatencyFrames); at 0 the input passes untouched.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "dsp/ramp.h"

namespace mixora {

class PitchShift {
public:
    static constexpr int kMaxSemitones = 4;

    // Negotiates the format; clears all history. Not real-time safe.
    void Start(int channels, int rate);
    // -4..4 (clamped); 0 fades back to the untouched input. Takes effect at
    // the next grain (within 23 ms). Streaming thread.
    void SetSemitones(int semitones);
    // In place, interleaved. At 0 (once faded) the samples are not touched.
    void Process(std::span<float> interleaved);
    void Flush();

    bool Bypassed() const;
    // The delay of the shifted sound, frames: the same for every key.
    int LatencyFrames() const { return latency_; }

private:
    struct Grain {
        double start = 0.0; // input frame read at the grain's first sample
        double ratio = 1.0;
    };

    void StartGrain(std::int64_t now);
    double NominalStart(std::int64_t now, double ratio) const;
    std::int64_t BestStart(std::int64_t nominal, double continuation);
    struct Tap {
        std::array<std::uint64_t, 4> slot{}; // ring offsets of the four frames
        float fraction = 0.0f;
    };
    Tap TapAt(double position) const;
    float Read(const Tap& tap, int channel) const;
    void Restart(std::int64_t now);

    int channels_ = 0;
    int grain_ = 2048; // frames, even
    int hop_ = 1024;
    int search_ = 441; // +- frames around the nominal start
    int match_ = 441;  // frames compared
    int latency_ = 0;  // nominal read lag, frames
    int fadeSamples_ = 1;
    std::uint64_t mask_ = 0;
    std::vector<float> ring_; // history, interleaved
    std::vector<float> mono_; // history, channel average (for matching)
    std::vector<float> window_;
    std::vector<float> reference_, candidates_; // the search's scratch
    std::int64_t written_ = 0;                  // frames written so far
    int hopPos_ = 0;
    Grain current_, previous_;
    int semitones_ = 0;
    double ratio_ = 1.0;   // for new grains
    double bias_ = 0.0;    // frames the search window is moved back
    bool running_ = false; // grains are being produced
    SmoothRamp mix_;
};

} // namespace mixora
