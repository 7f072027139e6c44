#pragma once
// Hands a value from a control thread to a real-time thread without ever
// blocking the real-time side: a triple buffer.
//
// Three slots: the writer fills its own back slot and swaps it with the
// shared middle slot (one atomic exchange, marking it fresh); the reader, at
// the start of a block, swaps its front slot with the middle one if the
// middle is fresh. Writer and reader never touch the same slot at the same
// time, so the reader always sees one whole value, the latest published,
// and both sides are wait-free. Values published between two reads are
// skipped, which is what a control setting wants. Several writer threads
// are serialised by a mutex the reader never takes.
#include <array>
#include <atomic>
#include <mutex>

namespace mixora {

template <typename T> class StateMailbox {
public:
    StateMailbox() = default;
    explicit StateMailbox(const T& initial) { slots_.fill(initial); }

    // Any thread. Copies value into the writer's slot and publishes it.
    void Publish(const T& value) {
        std::lock_guard lock(writers_);
        slots_[back_] = value;
        back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndex;
    }

    // Reader thread only. True when a newer value was taken; Current() then
    // returns it.
    bool Update() {
        if ((middle_.load(std::memory_order_relaxed) & kFresh) == 0) {
            return false;
        }
        front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndex;
        return true;
    }

    // Reader thread only: the value taken by the last successful Update().
    const T& Current() const { return slots_[front_]; }

private:
    static constexpr unsigned kIndex = 3;
    static constexpr unsigned kFresh = 4;

    std::array<T, 3> slots_{};
    std::atomic<unsigned> middle_{1};
    unsigned back_ = 0;  // writer's
    unsigned front_ = 2; // reader's
    std::mutex writers_;
};

} // namespace mixora
