#include "platform/Clock.h"

#include <QTime>
#include <cmath>

namespace vaporica {

double SystemClock::secondsSinceMidnight() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

std::int32_t roundHalfEven(double seconds) {
    const double whole = std::floor(seconds);
    const double fraction = seconds - whole;
    double rounded = whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        rounded = whole + 1.0;
    return static_cast<std::int32_t>(rounded);
}

} // namespace vaporica
