#pragma once
// The 26 reverberation environments the effect driver offers, as listener
// records, in the EAX 2.0 environment order (the index is the environment
// number the driver receives).
#include <array>

#include "dsp/effect_state.h"

namespace mixora {

inline constexpr int kEnvironmentCount = 26;

// EAX 2.0 listener flags: which properties follow an environment-size change,
// and whether air absorption limits the high-frequency decay time.
inline constexpr std::uint32_t kEaxFlagDecayTimeScale = 0x01;
inline constexpr std::uint32_t kEaxFlagReflectionsScale = 0x02;
inline constexpr std::uint32_t kEaxFlagReflectionsDelayScale = 0x04;
inline constexpr std::uint32_t kEaxFlagReverbScale = 0x08;
inline constexpr std::uint32_t kEaxFlagReverbDelayScale = 0x10;
inline constexpr std::uint32_t kEaxFlagDecayHfLimit = 0x20;

struct EnvironmentPreset {
    const char* name; // the menu text
    EaxListener listener;
    // Properties beyond the EAX 2.0 listener block, as the later reverb
    // models publish them for the same environments.
    float echoTime = 0.25f;       // s, 0.075..0.25
    float echoDepth = 0.0f;       // 0..1
    float modulationTime = 0.25f; // s, period of the delay wobble, 0.04..4
    float modulationDepth = 0.0f; // 0..1; 1 swings the pitch by about half a semitone
};

// Index 0 "Generic" .. 25 "Psychotic". The master room level of every entry
// is 0 mB (the environment at its own levels); -10000 mB silences it.
const std::array<EnvironmentPreset, kEnvironmentCount>& Environments();

// The listener record of environment `index` (0..25) with dwEnvironment set
// to the index; an index out of range gives environment 0.
EaxListener ListenerForEnvironment(int index);

} // namespace mixora
