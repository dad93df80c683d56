#pragma once

#include <QImage>
#include <QString>

namespace vaporica::material {

inline constexpr int EquationWidth = 485;
inline constexpr int EquationHeight = 95;

// The balanced equation on a white card: coefficients, subscripts, the conditions over and under
// the arrow, and the gas the question asks for picked out in colour. The type shrinks to fit the
// width; an equation that would need type too small to read is an error.
QImage equationPicture(const QString &equation, const QString &overArrow, const QString &underArrow,
                       const QString &gasFormula);

} // namespace vaporica::material
