#pragma once

#include <cstdint>

namespace vaporica {

// A pseudo-random generator uniform in [0, 1) with 24 bits of fraction.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Mixes the clock value into the current state; the sequence goes on from where it was.
    virtual void reseed(double clockValue) = 0;
    virtual float next() = 0;
};

// A 24-bit linear congruential generator, the kind the classic runtime used.
class Rnd24 final : public RandomSource {
public:
    explicit Rnd24(std::uint32_t state = 0x50000) : state_(state & 0xFFFFFF) {}
    void reseed(double clockValue) override;
    float next() override;
    std::uint32_t state() const { return state_; }

private:
    std::uint32_t state_;
};

} // namespace vaporica
