#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <cstdint>

namespace vaporica {

// Layout tables stay in twips; this is the one place they become pixels.
constexpr int TwipsPerPixel = 15;
constexpr int px(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

struct TwipsSize {
    int width, height;
    QSize pixels() const { return QSize(px(width), px(height)); }
};

struct TwipsRect {
    int left, top, width, height;
    QRect pixels() const { return QRect(px(left), px(top), px(width), px(height)); }
};

// Colours are written 0x00BBGGRR in the layout tables.
inline QColor bgr(std::uint32_t value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// The colours more than one screen uses.
constexpr std::uint32_t PaleYellow = 0x00C0FFFF;
constexpr std::uint32_t Black = 0x00000000;
constexpr std::uint32_t White = 0x00FFFFFF;
constexpr std::uint32_t Red = 0x000000FF;
constexpr std::uint32_t Orange = 0x000080FF;

} // namespace vaporica
