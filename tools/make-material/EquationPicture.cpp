#include "EquationPicture.h"

#include "Formula.h"
#include "Typeset.h"
#include "drawing/Fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QtMath>
#include <algorithm>
#include <stdexcept>

namespace vaporica::material {

namespace {

const QColor Ink(20, 20, 20);
const QColor GasInk(200, 0, 0);
const QColor ConditionInk(0, 70, 170);
const QColor Border(150, 170, 200);
const QColor ReasonsInk(0, 40, 100);
const QColor ReasonsGround(234, 243, 255);
const QColor CautionInk(190, 0, 0);

// The strip of reasons along the bottom of the card, the cautions' lines above it; the equation
// is centred in the rest.
constexpr int ReasonsHeight = 24;
constexpr int ReasonsMargin = 8;
constexpr int CautionLine = 15;
constexpr int EquationArea = EquationHeight - ReasonsHeight;
constexpr qreal CardMargin = 12;
constexpr qreal LargestType = 26;
constexpr qreal SmallestType = 16;

struct Layout {
    QFont font, conditionFont;
    qreal plus = 0, gap = 0, arrow = 0, width = 0;
};

Layout measure(const Equation &eq, const QString &over, const QString &under, qreal size) {
    Layout l;
    l.font = minchoPixelFont(size);
    // Conditions stay readable even when a long equation needs smaller type.
    l.conditionFont = minchoPixelFont(qMax(13.0, size * 0.58));
    const QFontMetricsF fm(l.font);
    l.plus = fm.horizontalAdvance(QStringLiteral("+"));
    l.gap = size * 0.28;
    const qreal conditions =
        qMax(chemicalWidth(over, l.conditionFont), chemicalWidth(under, l.conditionFont));
    l.arrow = qMax(size * 1.8, conditions + size * 0.5);
    qreal w = 0;
    auto side = [&](const QList<Term> &terms) {
        for (int i = 0; i < terms.size(); ++i) {
            if (i > 0)
                w += 2 * l.gap + l.plus;
            const Term &t = terms[i];
            w += chemicalWidth((t.coefficient > 1 ? QString::number(t.coefficient) : QString()) +
                                   t.formula,
                               l.font);
        }
    };
    side(eq.left);
    w += 2 * l.gap + l.arrow;
    side(eq.right);
    l.width = w;
    return l;
}

void drawArrow(QPainter &p, qreal x0, qreal x1, qreal y, qreal size) {
    QPen pen(Ink, qMax(1.2, size * 0.06));
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    const qreal head = size * 0.32;
    p.drawLine(QPointF(x0, y), QPointF(x1 - head * 0.6, y));
    QPainterPath tip;
    tip.moveTo(x1, y);
    tip.lineTo(x1 - head, y - head * 0.42);
    tip.lineTo(x1 - head * 0.72, y);
    tip.lineTo(x1 - head, y + head * 0.42);
    tip.closeSubpath();
    p.fillPath(tip, Ink);
}

void drawReasons(QPainter &p, const QString &reasons) {
    const QRect box = reasonsBox();
    const QFont font = reasonsFont();
    const qreal width = chemicalWidth(reasons, font);
    if (width > box.width())
        throw std::runtime_error(
            QStringLiteral("理由「%1」が反応式の画像の幅に収まりません（%2 px、入るのは %3 px）")
                .arg(shortened(reasons))
                .arg(qCeil(width))
                .arg(box.width())
                .toStdString());
    p.fillRect(QRectF(1, EquationArea, EquationWidth - 2, ReasonsHeight - 1), ReasonsGround);
    p.setPen(QPen(Border, 1));
    p.drawLine(QPointF(1, EquationArea - 0.5), QPointF(EquationWidth - 1, EquationArea - 0.5));
    const QFontMetricsF fm(font);
    const qreal baseline = box.center().y() + 0.5 + (fm.ascent() - fm.descent()) / 2.0;
    p.setPen(ReasonsInk);
    drawChemical(p, QPointF(box.x() + (box.width() - width) / 2.0, qRound(baseline)), reasons,
                 font);
}

// Each caution on a line of its own, centred above the reasons.
void drawCautions(QPainter &p, const QStringList &cautions) {
    const QFont font = cautionFont();
    const QFontMetricsF fm(font);
    for (int i = 0; i < cautions.size(); ++i) {
        const QRect box = cautionBox(i, int(cautions.size()));
        const qreal width = chemicalWidth(cautions[i], font);
        if (width > box.width())
            throw std::runtime_error(
                QStringLiteral(
                    "注意「%1」が反応式の画像の幅に収まりません（%2 px、入るのは %3 px）")
                    .arg(shortened(cautions[i]))
                    .arg(qCeil(width))
                    .arg(box.width())
                    .toStdString());
        const qreal baseline = box.center().y() + 0.5 + (fm.ascent() - fm.descent()) / 2.0;
        p.setPen(CautionInk);
        drawChemical(p, QPointF(box.x() + (box.width() - width) / 2.0, qRound(baseline)),
                     cautions[i], font);
    }
}

} // namespace

QRect cautionBox(int line, int lines) {
    return QRect(ReasonsMargin, EquationArea - (lines - line) * CautionLine,
                 EquationWidth - 2 * ReasonsMargin, CautionLine - 1);
}

QFont cautionFont() {
    return minchoPixelFont(13);
}

QRect reasonsBox() {
    return QRect(ReasonsMargin, EquationArea, EquationWidth - 2 * ReasonsMargin, ReasonsHeight - 1);
}

QFont reasonsFont() {
    return minchoPixelFont(14);
}

qreal equationTypeSize(const QString &equation, const QString &overArrow,
                       const QString &underArrow) {
    const Equation eq = parseEquation(equation);
    qreal size = LargestType;
    while (measure(eq, overArrow, underArrow, size).width > EquationWidth - 2 * CardMargin) {
        size -= 0.5;
        if (size < SmallestType)
            throw std::runtime_error(QStringLiteral("反応式 %1 が画像の幅に収まりません")
                                         .arg(quoted(equation))
                                         .toStdString());
    }
    return size;
}

QImage equationPicture(const QString &equation, const QString &overArrow, const QString &underArrow,
                       const QString &gasFormula, const QString &reasons,
                       const QStringList &cautions, qreal typeSize, int scale) {
    const Equation eq = parseEquation(equation);
    const qreal size = typeSize;
    const Layout l = measure(eq, overArrow, underArrow, size);
    if (l.width > EquationWidth - 2 * CardMargin)
        throw std::runtime_error(QStringLiteral("反応式 %1 が画像の幅に収まりません")
                                     .arg(quoted(equation))
                                     .toStdString());

    QImage image(EquationWidth * scale, EquationHeight * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale); // the painter draws in the card's own pixels
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QPen(Border, 1));
    p.drawRect(QRectF(0.5, 0.5, EquationWidth - 1, EquationHeight - 1));

    const QFontMetricsF fm(l.font);
    const QFontMetricsF cm(l.conditionFont);
    // The equation with its conditions is centred in what the cautions leave; the arrow sits at
    // the middle height of the formulas' capitals.
    const qreal area = EquationArea - cautions.size() * CautionLine;
    const qreal capsToAxis = fm.capHeight() * 0.45;
    const qreal above = std::max(fm.capHeight() - capsToAxis + 1,
                                 overArrow.isEmpty() ? 0.0 : size * 0.36 + cm.ascent());
    const qreal below =
        std::max(capsToAxis + fm.descent(),
                 underArrow.isEmpty() ? 0.0 : size * 0.22 + cm.ascent() + cm.descent());
    if (above + below > area - 2)
        throw std::runtime_error(
            QStringLiteral("反応式 %1 と注意 %2 行が反応式の画像の高さに収まりません（注意を"
                           "減らしてください）")
                .arg(quoted(equation))
                .arg(cautions.size())
                .toStdString());
    const qreal axis = (area - above - below) / 2.0 + above;
    const qreal baseline = axis + capsToAxis;
    qreal x = (EquationWidth - l.width) / 2.0;

    auto side = [&](const QList<Term> &terms, bool products) {
        for (int i = 0; i < terms.size(); ++i) {
            if (i > 0) {
                x += l.gap;
                p.setPen(Ink);
                p.setFont(l.font);
                p.drawText(QPointF(x, baseline), QStringLiteral("+"));
                x += l.plus + l.gap;
            }
            const Term &t = terms[i];
            p.setPen(products && t.formula == gasFormula ? GasInk : Ink);
            x += drawChemical(p, QPointF(x, baseline),
                              (t.coefficient > 1 ? QString::number(t.coefficient) : QString()) +
                                  t.formula,
                              l.font);
        }
    };
    side(eq.left, false);
    x += l.gap;
    drawArrow(p, x, x + l.arrow, axis, size);
    p.setPen(ConditionInk);
    if (!overArrow.isEmpty())
        drawChemical(p,
                     QPointF(x + (l.arrow - chemicalWidth(overArrow, l.conditionFont)) / 2.0,
                             axis - size * 0.36),
                     overArrow, l.conditionFont);
    if (!underArrow.isEmpty())
        drawChemical(p,
                     QPointF(x + (l.arrow - chemicalWidth(underArrow, l.conditionFont)) / 2.0,
                             axis + size * 0.22 + cm.ascent()),
                     underArrow, l.conditionFont);
    x += l.arrow + l.gap;
    side(eq.right, true);
    drawCautions(p, cautions);
    drawReasons(p, reasons);
    return image;
}

qreal bankTypeSize(const QList<QuestionRow> &questions) {
    qreal size = 26;
    for (const QuestionRow &q : questions) {
        try {
            size = std::min(size, equationTypeSize(q.equation, q.overArrow, q.underArrow));
        } catch (const std::runtime_error &) {
        }
    }
    return size;
}

} // namespace vaporica::material
