#pragma once
// The one effect state of the program, shared by every playback stream.
// The program owns one hub and hands it to every effect element it makes
// (the element's "hub" property). The UI thread sets the state; each stream's EffectChain registers
// here while it runs and receives every change through its own wait-free mailbox, so no streaming
// thread ever waits for the UI thread or for another stream.
#include <mutex>
#include <vector>

#include "dsp/effect_state.h"

namespace mixora {

class EffectChain;

class EffectHub {
public:
    // UI thread. Stores the state and hands it to every attached chain;
    // takes effect at each chain's next block.
    void SetState(const EffectState& state);
    EffectState State() const;

    // A stream coming up or going down (not its streaming loop). Attach
    // hands the current state to the chain at once.
    void Attach(EffectChain& chain);
    void Detach(EffectChain& chain);

private:
    mutable std::mutex mutex_; // never taken by a streaming loop
    EffectState state_;
    std::vector<EffectChain*> chains_;
};

} // namespace mixora
