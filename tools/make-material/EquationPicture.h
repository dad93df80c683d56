#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

namespace vaporica::material {

inline constexpr int EquationWidth = 485;
inline constexpr int EquationHeight = 95;

// The balanced equation on a white card: coefficients, subscripts, the conditions over and under
// the arrow, and the gas the question asks for picked out in colour; below it, on a tinted strip,
// one line of reasons (why this generator, why this collection). The equation's type shrinks to
// fit the width; an equation that would need type too small to read, or a line of reasons wider
// than the card, is an error.
QImage equationPicture(const QString &equation, const QString &overArrow, const QString &underArrow,
                       const QString &gasFormula, const QString &reasons);

// Where the line of reasons is drawn on the card, and in what type, so its legibility can be
// checked against the same words set alone.
QRect reasonsBox();
QFont reasonsFont();

} // namespace vaporica::material
