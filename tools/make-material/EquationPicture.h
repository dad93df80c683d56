#pragma once

#include "Tables.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

namespace vaporica::material {

inline constexpr int EquationWidth = 485;
inline constexpr int EquationHeight = 95;

// The largest type, in pixels, in which the equation with its conditions fits the card: 26 for
// every short one. An equation that would need type too small to read is an error.
qreal equationTypeSize(const QString &equation, const QString &overArrow,
                       const QString &underArrow);

// One type for every card of a bank: the largest in which every equation fits. A row whose
// equation fits in no readable type leaves the others' type as it is; its card names it when drawn.
qreal bankTypeSize(const QList<QuestionRow> &questions);

// The balanced equation on a white card, set in `typeSize` (every card of a bank in one size, the
// largest at which all fit, so that they read as one set): coefficients, subscripts, the
// conditions over and under the arrow, and the gas the question asks for picked out in colour;
// under it up to two lines of cautions in red, and at the bottom, on a tinted strip, one line of
// reasons (why this generator, why this collection). A line wider than the card, or an equation
// that does not fit beside the cautions, is an error. At `scale` 2 the same card is drawn at twice
// the size.
QImage equationPicture(const QString &equation, const QString &overArrow, const QString &underArrow,
                       const QString &gasFormula, const QString &reasons,
                       const QStringList &cautions, qreal typeSize, int scale = 1);

// Where caution `line` of `lines` is drawn, and in what type.
QRect cautionBox(int line, int lines);
QFont cautionFont();

// Where the line of reasons is drawn on the card, and in what type, so its legibility can be
// checked against the same words set alone.
QRect reasonsBox();
QFont reasonsFont();

} // namespace vaporica::material
