#include "media/random_order.h"

#include <cmath>

namespace mixora {

int NextRandomValue(std::uint32_t& state) {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

int RandomIndexFor(int r, int n) {
    // The float lies just below 1/32767, and the product is formed in double
    // precision, so r = 32767 still gives n - 1.
    constexpr float kScale = 3.0518509e-05f;
    return static_cast<int>(std::trunc(static_cast<double>(r) * static_cast<double>(kScale) * n));
}

int RandomIndex(std::uint32_t& state, int n) {
    return RandomIndexFor(NextRandomValue(state), n);
}

int RandomIndexAvoiding(std::uint32_t& state, int n, int current) {
    int index = RandomIndex(state, n);
    while (n > 1 && index == current) {
        index = RandomIndex(state, n);
    }
    return index;
}

} // namespace mixora
