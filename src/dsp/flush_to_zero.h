#pragma once
// Flushes denormal floats to zero for the lifetime of the object, on this
// thread, and restores the caller's setting afterwards. A decaying filter
// or reverb tail sinks into the denormal range after a few seconds of
// silence, where every operation costs tens of times more and the output
// carries values no converter can tell from zero.
#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#endif
#include <cstdint>

namespace mixora {

class FlushToZero {
public:
#if defined(__SSE__) || defined(_M_X64)
    FlushToZero() : saved_(_mm_getcsr()) {
        _mm_setcsr(saved_ | kFtz | kDaz);
    }
    ~FlushToZero() {
        _mm_setcsr(saved_);
    }

private:
    static constexpr unsigned kFtz = 0x8000; // results
    static constexpr unsigned kDaz = 0x0040; // operands
    unsigned saved_;
#elif defined(__aarch64__)
    FlushToZero() {
        asm volatile("mrs %0, fpcr" : "=r"(saved_));
        asm volatile("msr fpcr, %0" ::"r"(saved_ | (std::uint64_t{1} << 24)));
    }
    ~FlushToZero() {
        asm volatile("msr fpcr, %0" ::"r"(saved_));
    }

private:
    std::uint64_t saved_ = 0;
#else
    FlushToZero() = default;
#endif
public:
    FlushToZero(const FlushToZero&) = delete;
    FlushToZero& operator=(const FlushToZero&) = delete;
};

} // namespace mixora
