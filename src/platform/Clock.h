#pragma once

#include <cstdint>
#include <memory>

namespace vaporica {

// The time of day in seconds since midnight, with its fraction.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() const = 0;
};

class SystemClock final : public Clock {
public:
    double secondsSinceMidnight() const override;
};

// Round to the nearest whole second, a value exactly halfway going to the even one.
std::int32_t roundHalfEven(double seconds);

} // namespace vaporica
