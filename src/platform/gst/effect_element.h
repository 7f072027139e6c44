#pragma once
// "mixoraeffects": the software effect driver as a GStreamer element. Put it
// in a playback pipeline before the sink (F32LE interleaved, mono or
// stereo, any rate); it runs an EffectChain in place on every buffer.
//
// Every instance follows the effect state of the EffectHub given in its
// "hub" property (a pointer; the hub must outlive the element's running
// state). The UI thread sets the hub's state; the element's streaming thread
// picks it up at its next buffer without ever waiting. Without a hub the
// element passes sound through untouched.

namespace mixora {

// Registers "mixoraeffects" in the process's registry (initialising
// GStreamer if no one has yet). Idempotent and thread-safe; false when the
// registration failed.
bool RegisterEffectElement();

// The name of the element's hub property.
inline constexpr const char* kEffectHubProperty = "hub";

} // namespace mixora
