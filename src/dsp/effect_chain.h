#pragma once
// The software effect driver's signal path for one stream: equalizer, voice
// cancellation, key shift and reverb, in that order, then a safety limiter,
// on interleaved float samples, driven by one EffectState. With nothing on,
// the samples pass bit-exact.
#include <atomic>
#include <span>

#include "dsp/effect_state.h"
#include "dsp/equalizer.h"
#include "dsp/limiter.h"
#include "dsp/pitch_shift.h"
#include "dsp/reverb.h"
#include "dsp/state_mailbox.h"
#include "dsp/voice_cancel.h"

namespace mixora {

class EffectChain {
public:
    // Negotiates the format (channels >= 1, rate in Hz) and clears every
    // effect's history. Streaming thread (or before streaming starts); may
    // allocate.
    void Start(int channels, int rate);

    // Runs the chain in place over whole frames, with denormals flushed to
    // zero. Streaming thread; never blocks and never allocates. A state handed over by SetState
    // takes effect at the start of the next call.
    void Process(std::span<float> interleaved);

    // Drops the history (after a seek). Streaming thread.
    void Flush();

    // Any thread (normally the UI thread); copies the state and returns at
    // once, without waiting for the streaming thread.
    void SetState(const EffectState& state);

    // The state the last Process applied. Streaming thread only.
    const EffectState& AppliedState() const { return applied_; }

    // How far the output lags the input, in frames, for the state last set:
    // key shift's fixed delay while it is on, 0 otherwise. Any thread.
    int LatencyFrames() const;

private:
    void Apply(const EffectState& state);

    int channels_ = 0;
    StateMailbox<EffectState> mailbox_;
    EffectState applied_;
    Equalizer equalizer_;
    VoiceCancel voiceCancel_;
    PitchShift pitchShift_;
    Reverb reverb_;
    Limiter limiter_;
    std::atomic<int> keyShift_ = 0;   // semitones last set
    std::atomic<int> keyLatency_ = 0; // frames, at the negotiated rate
};

} // namespace mixora
