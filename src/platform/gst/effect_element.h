#pragma once
// "mixoraeffects": the software effect driver as a GStreamer element. Put it
// in a playback pipeline before the sink (F32LE interleaved, mono or
// stereo, any rate); it runs an EffectChain in place on every buffer.
//
// Every instance follows the program's one effect state, EffectHub: set it
// with EffectHub::Instance().SetState() (or SetEffectState() below) from the
// UI thread; the element's streaming thread picks it up at its next buffer
// without ever waiting.
#include "dsp/effect_state.h"

namespace mixora {

// Registers "mixoraeffects" in the process's registry (initialising
// GStreamer if no one has yet). Idempotent and thread-safe; false when the
// registration failed.
bool RegisterEffectElement();

// Sets the effect state every "mixoraeffects" element applies.
void SetEffectState(const EffectState& state);

} // namespace mixora
