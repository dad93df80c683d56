#pragma once

// Relative luminance and contrast ratio as WCAG 2 defines them: what a greyscale print, a
// projector washing colours out, or a pupil who cannot tell red from green still sees.

#include <QRgb>

#include <algorithm>
#include <cmath>

namespace vaporica::test {

inline double luminance(QRgb c) {
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
}

// The ratio of two luminances, the lighter over the darker: 1 to 21.
inline double luminanceContrast(double a, double b) {
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

inline double contrast(QRgb a, QRgb b) {
    return luminanceContrast(luminance(a), luminance(b));
}

} // namespace vaporica::test
