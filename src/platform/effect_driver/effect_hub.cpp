#include "platform/effect_driver/effect_hub.h"

#include <algorithm>

#include "dsp/effect_chain.h"

namespace mixora {

void EffectHub::SetState(const EffectState& state) {
    std::lock_guard lock(mutex_);
    state_ = state;
    for (EffectChain* chain : chains_) {
        chain->SetState(state_);
    }
}

EffectState EffectHub::State() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void EffectHub::Attach(EffectChain& chain) {
    std::lock_guard lock(mutex_);
    if (std::find(chains_.begin(), chains_.end(), &chain) == chains_.end()) {
        chains_.push_back(&chain);
    }
    chain.SetState(state_);
}

void EffectHub::Detach(EffectChain& chain) {
    std::lock_guard lock(mutex_);
    std::erase(chains_, &chain);
}

} // namespace mixora
