#include "dsp/effect_chain.h"

#include "dsp/flush_to_zero.h"

namespace mixora {

void EffectChain::Start(int channels, int rate) {
    channels_ = channels;
    equalizer_.Start(channels, rate);
    voiceCancel_.Start(channels, rate);
    pitchShift_.Start(channels, rate);
    reverb_.Start(channels, rate);
    limiter_.Start(channels, rate);
    keyLatency_ = pitchShift_.LatencyFrames();
    mailbox_.Update();
    Apply(mailbox_.Current());
    // A new stream starts at the settings, not fading towards them.
    equalizer_.Flush();
    voiceCancel_.Flush();
    pitchShift_.Flush();
}

void EffectChain::Apply(const EffectState& state) {
    applied_ = state;
    equalizer_.SetRecord(applied_.eq);
    voiceCancel_.SetEnabled(applied_.voiceCancel != 0);
    pitchShift_.SetSemitones(applied_.pitchShift);
    reverb_.SetParameters(applied_.listener, applied_.eaxEnable != 0);
}

void EffectChain::SetState(const EffectState& state) {
    keyShift_ = state.pitchShift;
    mailbox_.Publish(state);
}

int EffectChain::LatencyFrames() const {
    return keyShift_ != 0 ? keyLatency_.load() : 0;
}

void EffectChain::Process(std::span<float> interleaved) {
    if (channels_ <= 0) {
        return;
    }
    if (mailbox_.Update()) {
        Apply(mailbox_.Current());
    }
    interleaved = interleaved.first(interleaved.size() - interleaved.size() % channels_);
    const FlushToZero flush;
    const bool limit = !equalizer_.Bypassed() || !voiceCancel_.Bypassed() ||
                       !pitchShift_.Bypassed() || !reverb_.Bypassed();
    equalizer_.Process(interleaved);
    voiceCancel_.Process(interleaved);
    pitchShift_.Process(interleaved);
    reverb_.Process(interleaved);
    if (limit) {
        limiter_.Process(interleaved);
    } else if (limiter_.Active()) {
        limiter_.Release(interleaved);
    }
}

void EffectChain::Flush() {
    equalizer_.Flush();
    voiceCancel_.Flush();
    pitchShift_.Flush();
    reverb_.Flush();
    limiter_.Flush();
}

} // namespace mixora
