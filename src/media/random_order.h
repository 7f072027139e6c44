#pragma once
// The random order of the playlist: a linear congruential generator
// (x * 214013 + 2531011 mod 2^32, bits 16-30 as the value) scaled to the
// list with the single-precision constant nearest 1/32767.
#include <cstdint>

namespace mixora {

// Advances `state` and returns the next value, 0 .. 32767.
int NextRandomValue(std::uint32_t& state);
// The index for value `r` (0 .. 32767) in a list of `n` entries, 0 .. n-1.
int RandomIndexFor(int r, int n);
// A random index for `n` entries; the second form draws again while it
// equals `current` and there is more than one entry.
int RandomIndex(std::uint32_t& state, int n);
int RandomIndexAvoiding(std::uint32_t& state, int n, int current);

} // namespace mixora
