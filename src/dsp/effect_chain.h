#pragma once
// The software effect driver's signal path for one stream: equalizer, voice
// cancellation, key shift and reverb, in that order, on interleaved float
// samples, driven by one EffectState.
#include <span>

#include "dsp/effect_state.h"
#include "dsp/equalizer.h"
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

    // Runs the chain in place over whole frames. Streaming thread; never
    // blocks and never allocates. A state handed over by SetState takes
    // effect at the start of the next call.
    void Process(std::span<float> interleaved);

    // Drops the history (after a seek). Streaming thread.
    void Flush();

    // Any thread (normally the UI thread); copies the state and returns at
    // once, without waiting for the streaming thread.
    void SetState(const EffectState& state);

    // The state the last Process applied. Streaming thread only.
    const EffectState& AppliedState() const { return applied_; }

private:
    void Apply(const EffectState& state);

    int channels_ = 0;
    StateMailbox<EffectState> mailbox_;
    EffectState applied_;
    Equalizer equalizer_;
    VoiceCancel voiceCancel_;
    PitchShift pitchShift_;
    Reverb reverb_;
};

} // namespace mixora
