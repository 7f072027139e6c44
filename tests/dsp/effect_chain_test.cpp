#include "dsp/effect_chain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "dsp/dsp_signals.h"
#include "dsp/environments.h"

namespace mixora {
namespace {

using namespace dsp_test;

constexpr int kRate = 44100;

EffectState BassState() {
    EffectState s;
    s.eq = EqRecord(0x3FF, kBassPreset);
    return s;
}

TEST(EffectChain, EverythingOffIsBitExact) {
    EffectChain chain;
    chain.Start(2, kRate);
    const auto input = Noise(2 * kRate / 10, 3);
    auto block = input;
    chain.Process(block);
    EXPECT_EQ(block, input);

    // Every effect on, then all off again: bit-exact once the fades (and
    // the reverb's tail) are over.
    EffectState all = BassState();
    all.voiceCancel = 1;
    all.pitchShift = 2;
    all.listener.dwEnvironment = 7;
    all.eaxEnable = 1;
    chain.SetState(all);
    block = input;
    chain.Process(block);
    EXPECT_NE(block, input);
    chain.SetState(EffectState{});
    for (int i = 0; i < 3; ++i) {
        block = input;
        chain.Process(block);
    }
    EXPECT_EQ(block, input);
}

TEST(EffectChain, StartsAtTheStateAlreadySetAndASeekDropsTheTail) {
    EffectChain chain;
    EffectState s;
    s.pitchShift = 4;
    chain.SetState(s);
    chain.Start(1, kRate);
    EXPECT_EQ(chain.AppliedState().pitchShift, 4);
    auto tone = Sine(440, kRate, kRate, {0.5});
    chain.Process(tone);
    const auto steady = std::span(tone).last(kRate / 2);
    EXPECT_NEAR(ZeroCrossingFrequency(steady, kRate), 440 * std::pow(2.0, 4 / 12.0), 2.0);

    // Hangar rings for seconds; after a flush (a seek) silence stays silent.
    s = EffectState{};
    s.listener = ListenerForEnvironment(10);
    s.eaxEnable = 1;
    chain.SetState(s);
    auto music = Noise(kRate);
    chain.Process(music);
    chain.Flush();
    std::vector<float> silence(kRate / 10, 0.0f);
    chain.Process(silence);
    EXPECT_LT(Peak(silence), 1e-12f);
}

// A state whose every field is derived from n, so a torn copy shows.
EffectState Numbered(int n) {
    EffectState s;
    s.eq = EqRecord(n % 2 ? 0x3FF : 0, {n % 1200, -(n % 1200), 0, 0, 0, 0, 0, 0, 0, n % 1200});
    s.listener.lRoom = -n;
    s.listener.dwEnvironment = static_cast<std::uint32_t>(n % 26);
    s.eaxEnable = 0;
    s.voiceCancel = n;
    s.pitchShift = n % 9 - 4;
    return s;
}

bool Whole(const EffectState& s) {
    const int n = s.voiceCancel;
    const EffectState expected = Numbered(n);
    return s.eq == expected.eq && s.listener.lRoom == expected.listener.lRoom &&
           s.listener.dwEnvironment == expected.listener.dwEnvironment &&
           s.pitchShift == expected.pitchShift;
}

TEST(EffectChain, HandOffFromAnotherThreadOnlyAppliesWholeStates) {
    EffectChain chain;
    chain.Start(2, kRate);
    std::atomic<bool> done{false};
    std::atomic<int> published{0};
    std::thread ui([&] {
        for (int n = 1; !done.load(); ++n) {
            chain.SetState(Numbered(n));
            published = n;
        }
    });

    auto signal = Sine(440, kRate, 256, {0.3, 0.3});
    int last = 0, changes = 0;
    bool whole = true, ordered = true;
    while (published.load() == 0) {
        std::this_thread::yield();
    }
    // Until enough hand-overs were seen, not for a fixed time: a loaded
    // machine or ThreadSanitizer runs far fewer blocks in the same time.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (changes <= 10 && std::chrono::steady_clock::now() < until) {
        auto block = signal;
        chain.Process(block);
        const EffectState& applied = chain.AppliedState();
        if (const int n = applied.voiceCancel; n != last) {
            whole = whole && Whole(applied);
            ordered = ordered && n > last;
            last = n;
            ++changes;
        }
    }
    done = true;
    ui.join();
    EXPECT_TRUE(whole);
    EXPECT_TRUE(ordered);
    EXPECT_GT(changes, 10);

    // The last state published is the one applied at the next block.
    auto block = signal;
    chain.Process(block);
    EXPECT_EQ(chain.AppliedState().voiceCancel, published.load());
}

} // namespace
} // namespace mixora
