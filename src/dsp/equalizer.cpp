#include "dsp/equalizer.h"

#include <algorithm>
#include <cmath>

#include "dsp/effect_state.h"

namespace mixora {

namespace {

std::int32_t ReadWord(std::span<const std::uint8_t, 120> record, int offset) {
    const auto* p = record.data() + offset;
    const std::uint32_t u = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                            (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
    return static_cast<std::int32_t>(u);
}

// Below this the residue of a filter that has glided back to 0 dB is far
// under the float resolution of any sample, so the filter can be left out.
constexpr double kSilentState = 1e-12;

} // namespace

std::array<int, Equalizer::kBands> Equalizer::BandGains(std::span<const std::uint8_t, 120> record) {
    std::array<int, kBands> gains{};
    for (int b = 0; b < kBands; ++b) {
        gains[b] = std::clamp(ReadWord(record, kEqBandOffsets[b]), -1200, 1200);
    }
    return gains;
}

std::uint32_t Equalizer::EnableMask(std::span<const std::uint8_t, 120> record) {
    return static_cast<std::uint32_t>(ReadWord(record, 0));
}

void Equalizer::Start(int channels, int rate) {
    channels_ = std::max(channels, 1);
    rate_ = rate > 0 ? rate : 44100;
    glideBlocks_ = std::max(1, static_cast<int>(std::lround(0.020 * rate_ / kBlock)));
    fadeSamples_ = std::max(1, static_cast<int>(std::lround(0.020 * rate_)));
    state_.assign(channels_, {});
    design_.Prepare(rate_);
    target_ = design_.Solve(sliders_);
    for (int b = 0; b < kBands; ++b) {
        current_[b] = enabled_ ? target_[b] : 0.0;
        remaining_[b] = 0;
        running_[b] = false;
        UpdateCoefficients(b);
    }
    mix_.Reset(enabled_ ? 1.0f : 0.0f);
}

void Equalizer::SetRecord(std::span<const std::uint8_t, 120> record) {
    const auto gains = BandGains(record);
    const bool wasSilent = Bypassed();
    enabled_ = EnableMask(record) != 0;
    for (int b = 0; b < kBands; ++b) {
        sliders_[b] = gains[b] / 100.0;
    }
    target_ = design_.Solve(sliders_);
    for (int b = 0; b < kBands; ++b) {
        if (wasSilent) {
            // Nothing is heard of the filters yet: start at the new gains
            // and let the mix fade them in.
            current_[b] = target_[b];
            remaining_[b] = 0;
            UpdateCoefficients(b);
        } else if (target_[b] != current_[b]) {
            remaining_[b] = glideBlocks_;
            increment_[b] = (target_[b] - current_[b]) / glideBlocks_;
        }
    }
    mix_.SetTarget(enabled_ ? 1.0f : 0.0f, fadeSamples_);
}

bool Equalizer::Bypassed() const {
    return !enabled_ && mix_.Settled() && mix_.Value() == 0.0f;
}

void Equalizer::Flush() {
    for (auto& channel : state_) {
        for (auto& s : channel) {
            s.Clear();
        }
    }
    for (int b = 0; b < kBands; ++b) {
        current_[b] = enabled_ ? target_[b] : 0.0;
        remaining_[b] = 0;
        running_[b] = false;
        UpdateCoefficients(b);
    }
    mix_.Reset(enabled_ ? 1.0f : 0.0f);
}

void Equalizer::UpdateCoefficients(int band) {
    coefficients_[band] = design_.Coefficients(band, current_[band]);
    if (current_[band] != 0.0) {
        running_[band] = true;
    }
}

void Equalizer::Advance() {
    for (int b = 0; b < kBands; ++b) {
        gliding_[b] = remaining_[b] > 0;
        if (gliding_[b]) {
            from_[b] = coefficients_[b];
            --remaining_[b];
            current_[b] = remaining_[b] == 0 ? target_[b] : current_[b] + increment_[b];
            UpdateCoefficients(b);
        }
    }
}

void Equalizer::Process(std::span<float> interleaved) {
    if (channels_ == 0) {
        return;
    }
    const int frames = static_cast<int>(interleaved.size()) / channels_;
    for (int done = 0; done < frames; done += kBlock) {
        if (Bypassed()) {
            return;
        }
        const int count = std::min(kBlock, frames - done);
        Advance();
        ProcessBlock(interleaved.data() + static_cast<std::size_t>(done) * channels_, count);
    }
}

void Equalizer::ProcessBlock(float* frames, int count) {
    // Filters still carrying a response (or a decaying residue after
    // gliding back to 0 dB); the others are exactly transparent.
    std::array<int, kBands> active{};
    int nActive = 0;
    for (int b = 0; b < kBands; ++b) {
        if (!running_[b]) {
            continue;
        }
        if (current_[b] == 0.0 && remaining_[b] == 0) {
            bool quiet = true;
            for (const auto& channel : state_) {
                quiet = quiet && std::abs(channel[b].s1) + std::abs(channel[b].s2) < kSilentState;
            }
            if (quiet) {
                for (auto& channel : state_) {
                    channel[b].Clear();
                }
                running_[b] = false;
                continue;
            }
        }
        active[nActive++] = b;
    }

    // A gliding band moves its coefficients sample by sample across the
    // block: a step every block would be heard as zipper noise.
    std::array<BiquadCoefficients, kBands> c = coefficients_;
    std::array<BiquadCoefficients, kBands> step{};
    bool gliding = false;
    for (int k = 0; k < nActive; ++k) {
        const int b = active[k];
        if (gliding_[b]) {
            const double n = count;
            const BiquadCoefficients &to = coefficients_[b], &from = from_[b];
            step[b] = {(to.b0 - from.b0) / n, (to.b1 - from.b1) / n, (to.b2 - from.b2) / n,
                       (to.a1 - from.a1) / n, (to.a2 - from.a2) / n};
            c[b] = from;
            gliding = true;
        }
    }

    std::array<BiquadPairState, kBands> stereo{};
    if (channels_ == 2) {
        for (int k = 0; k < nActive; ++k) {
            const int b = active[k];
            stereo[b].s1 = DoublePair{state_[0][b].s1, state_[1][b].s1};
            stereo[b].s2 = DoublePair{state_[0][b].s2, state_[1][b].s2};
        }
    }

    const bool fading = !(mix_.Settled() && mix_.Value() == 1.0f);
    for (int i = 0; i < count; ++i) {
        const float wet = fading ? mix_.Next() : 1.0f;
        float* frame = frames + static_cast<std::size_t>(i) * channels_;
        if (gliding) {
            for (int k = 0; k < nActive; ++k) {
                BiquadCoefficients& v = c[active[k]];
                const BiquadCoefficients& d = step[active[k]];
                v.b0 += d.b0, v.b1 += d.b1, v.b2 += d.b2, v.a1 += d.a1, v.a2 += d.a2;
            }
        }
        if (channels_ == 2) {
            // Both sides at once, two doubles to a register.
            DoublePair x = {frame[0], frame[1]};
            for (int k = 0; k < nActive; ++k) {
                const int b = active[k];
                x = stereo[b].Run(c[b], x);
            }
            for (int ch = 0; ch < 2; ++ch) {
                const auto y = static_cast<float>(x[ch]);
                frame[ch] = fading ? frame[ch] + wet * (y - frame[ch]) : y;
            }
            continue;
        }
        for (int ch = 0; ch < channels_; ++ch) {
            auto& states = state_[ch];
            double x = frame[ch];
            for (int k = 0; k < nActive; ++k) {
                const int b = active[k];
                x = states[b].Run(c[b], x);
            }
            frame[ch] = fading ? frame[ch] + wet * (static_cast<float>(x) - frame[ch])
                               : static_cast<float>(x);
        }
    }
    if (channels_ == 2) {
        for (int k = 0; k < nActive; ++k) {
            const int b = active[k];
            state_[0][b] = {stereo[b].s1[0], stereo[b].s2[0]};
            state_[1][b] = {stereo[b].s1[1], stereo[b].s2[1]};
        }
    }
    if (!enabled_ && mix_.Settled() && mix_.Value() == 0.0f) {
        // Faded out: forget the history so the next fade in starts clean.
        for (auto& channel : state_) {
            for (auto& s : channel) {
                s.Clear();
            }
        }
        running_.fill(false);
    }
}

} // namespace mixora
