#include "Typeset.h"

#include "drawing/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPen>
#include <QStringList>
#include <stdexcept>

namespace vaporica::material {

namespace {

// The face's own ⇄ is too small to read at text size.
constexpr QChar Equilibrium(0x21C4);

struct Piece {
    QString text;
    bool subscript;
};

QList<Piece> pieces(const QString &text) {
    QList<Piece> out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar before = i > 0 ? text[i - 1] : QChar();
        const bool sub =
            c.isDigit() && c.unicode() < 128 &&
            ((before.isLetter() && before.unicode() < 128) || before == QLatin1Char(')') ||
             (!out.isEmpty() && out.last().subscript && before.isDigit()));
        // The hydrate dot stands apart, with a little air on both sides; the equilibrium arrows
        // are drawn, not set.
        const bool apart = c == QChar(0x00B7) || c == Equilibrium;
        if (out.isEmpty() || out.last().subscript != sub || apart ||
            out.last().text == QString(QChar(0x00B7)) || out.last().text == QString(Equilibrium))
            out.append({QString(), sub});
        out.last().text += c;
    }
    return out;
}

QFont subscriptFont(const QFont &font) {
    QFont small = font;
    small.setPixelSize(qMax(6, qRound(font.pixelSize() * 0.62)));
    return small;
}

qreal dotAir(const QFont &font) {
    return font.pixelSize() * 0.1;
}

qreal advance(const Piece &piece, const QFont &font, const QFont &small) {
    if (piece.text == QString(Equilibrium))
        return font.pixelSize() * 1.3;
    return QFontMetricsF(piece.subscript ? small : font).horizontalAdvance(piece.text) +
           (piece.text == QString(QChar(0x00B7)) ? 2 * dotAir(font) : 0.0);
}

// A right-pointing arrow over a left-pointing one, each with a half head, at the height of the
// middle of the capitals.
void drawEquilibrium(QPainter &p, QPointF baseline, const QFont &font) {
    const qreal size = font.pixelSize();
    const qreal axis = baseline.y() - QFontMetricsF(font).capHeight() * 0.5;
    const qreal x0 = baseline.x() + size * 0.15, x1 = baseline.x() + size * 1.15;
    const qreal apart = size * 0.13, head = size * 0.3;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(p.pen().color(), qMax(1.0, size / 13.0), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(x0, axis - apart), QPointF(x1, axis - apart));
    p.drawLine(QPointF(x1, axis - apart), QPointF(x1 - head, axis - apart - head * 0.6));
    p.drawLine(QPointF(x0, axis + apart), QPointF(x1, axis + apart));
    p.drawLine(QPointF(x0, axis + apart), QPointF(x0 + head, axis + apart + head * 0.6));
    p.restore();
}

} // namespace

void requireMinchoFaces() {
    if (!minchoFacesInstalled())
        throw std::runtime_error("明朝体のフォント（IPA明朝・IPA P明朝）が見つかりません。"
                                 "sudo apt-get install fonts-ipafont-mincho で入れてください");
}

qreal chemicalWidth(const QString &text, const QFont &font) {
    const QFont small = subscriptFont(font);
    qreal w = 0;
    for (const Piece &piece : pieces(text))
        w += advance(piece, font, small);
    return w;
}

qreal drawChemical(QPainter &p, QPointF baseline, const QString &text, const QFont &font) {
    const QFont small = subscriptFont(font);
    const qreal drop = font.pixelSize() * 0.26;
    qreal x = baseline.x();
    for (const Piece &piece : pieces(text)) {
        if (piece.text == QString(Equilibrium)) {
            drawEquilibrium(p, QPointF(x, baseline.y()), font);
            x += advance(piece, font, small);
            continue;
        }
        const QFont &f = piece.subscript ? small : font;
        p.setFont(f);
        const qreal air = piece.text == QString(QChar(0x00B7)) ? dotAir(font) : 0.0;
        p.drawText(QPointF(x + air, baseline.y() + (piece.subscript ? drop : 0.0)), piece.text);
        x += advance(piece, font, small);
    }
    return x - baseline.x();
}

} // namespace vaporica::material
