#pragma once

// Chemical text: a digit that follows a Latin letter or a closing parenthesis is a subscript
// ("H2SO4", "Ca(OH)2", "濃H2SO4"); every other character, coefficients included, sits on the line.

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>

namespace vaporica::material {

// The Mincho face for the generated pictures; the tool stops with a clear message if the IPA
// faces are missing, because any fallback would silently change every picture.
void requireMinchoFaces();

// Width of the text as drawChemical would draw it.
qreal chemicalWidth(const QString &text, const QFont &font);
// Draws from the left end of the baseline; returns the width drawn.
qreal drawChemical(QPainter &p, QPointF baseline, const QString &text, const QFont &font);

} // namespace vaporica::material
