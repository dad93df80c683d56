#include "platform/Random.h"

#include <cstring>

namespace vaporica {

void Rnd24::reseed(double clockValue) {
    // Fold the bits of the clock value into the state instead of replacing it, so that two
    // re-seeds within one clock tick still move on through the sequence.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &clockValue, sizeof bits);
    const std::uint32_t folded =
        static_cast<std::uint32_t>(bits ^ (bits >> 24) ^ (bits >> 48)) & 0xFFFFFF;
    state_ = (state_ ^ folded) & 0xFFFFFF;
}

float Rnd24::next() {
    state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFF;
    return static_cast<float>(state_) / 16777216.0f;
}

} // namespace vaporica
