#pragma once
// The environmental reverb of the software effect driver, driven by an EAX 2.0
// listener record.
//
// Signal flow per frame: the dry input passes through unchanged; a wet copy
// goes through the room-HF low-pass into a pre-delay line, from which a cluster
// of early-reflection taps (starting at flReflectionsDelay) and the feed of a
// late reverb (starting flReverbDelay after the first reflection) are read.
// The late reverb is an eight-line feedback delay network with a Hadamard
// mixing matrix; each line carries an all-pass diffuser and a second-order
// shelving damper whose gains give flDecayTime below about 2 kHz and
// flDecayHFRatio times it at 5 kHz. flEnvironmentSize scales every delay
// (7.5 m nominal); the late network stops growing at 45 m and shrinks where
// a very short HF decay asks for it. flEnvironmentDiffusion sets the all-pass
// coefficients. Environments whose published model has delay modulation
// (Under Water, Drugged, Dizzy, Psychotic) wobble the line lengths slowly;
// rooms under 3 m wobble theirs by about a fifth of a semitone, which smears
// their few modes. The left output reads the lines where they are written,
// the right one half-way along them, so the two sides' tails stay apart.
//
// Levels follow EAX: lRoom scales the whole wet part, lReflections and
// lReverb are the energies of the two parts relative to the dry impulse,
// all in mB, and the wet part plays 10 dB under them, as the published
// presets' room level of -1000 mB has it. A DC blocker guards the wet
// input, and the input fades in and out with the switch. The room roll-off factor needs a source
// distance and is not used; air absorption limits the HF decay time when the listener's
// decay-HF-limit flag is set.
#include <memory>
#include <span>

#include "dsp/effect_state.h"

namespace mixora {

class Reverb {
public:
    Reverb();
    ~Reverb();
    Reverb(const Reverb&) = delete;
    Reverb& operator=(const Reverb&) = delete;
    Reverb(Reverb&&) noexcept;
    Reverb& operator=(Reverb&&) noexcept;

    // Negotiates the stream format and allocates every delay line for the
    // largest environment at this rate; nothing is allocated afterwards.
    // 1 or 2 interleaved channels, 8 kHz..192 kHz. Other channel counts
    // pass through untouched. Clears the tail.
    void Start(int channels, int rate);

    // Takes a new listener record (values outside the EAX ranges are
    // clamped). Called between blocks on the streaming thread; may come
    // before Start. Levels ramp to their new values within 20 ms; a change
    // of size or delays crossfades the delay taps over 20 ms. Switching off
    // fades the wet part out within 30 ms; from then on Process leaves the
    // samples bit-exact until it is switched on again.
    void SetParameters(const EaxListener& listener, bool enabled);

    // Adds the wet signal to `interleaved` in place. Whole frames only; a
    // trailing partial frame is left as it is. Never allocates or blocks.
    void Process(std::span<float> interleaved);

    // Drops the tail (on seek or a new stream); parameters are kept.
    void Flush();

    // True while Process leaves the samples exactly as they are.
    bool Bypassed() const;

private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
    EaxListener listener_{};
    bool enabled_ = false;
};

} // namespace mixora
