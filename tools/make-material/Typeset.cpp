#include "Typeset.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>
#include <stdexcept>

namespace vaporica::material {

namespace {

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
        // The hydrate dot stands apart, with a little air on both sides.
        const bool dot = c == QChar(0x00B7);
        if (out.isEmpty() || out.last().subscript != sub || dot ||
            out.last().text == QString(QChar(0x00B7)))
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
    return QFontMetricsF(piece.subscript ? small : font).horizontalAdvance(piece.text) +
           (piece.text == QString(QChar(0x00B7)) ? 2 * dotAir(font) : 0.0);
}

} // namespace

QFont minchoFont(qreal pixelSize, bool bold, bool proportional) {
    QFont font;
    font.setFamilies(proportional ? QStringList{QStringLiteral("IPAPMincho")}
                                  : QStringList{QStringLiteral("IPAMincho")});
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void requireMinchoFaces() {
    const QStringList families = QFontDatabase::families();
    for (const char *name : {"IPAPMincho", "IPAMincho"})
        if (!families.contains(QString::fromLatin1(name)))
            throw std::runtime_error(
                std::string("フォント ") + name +
                " がありません（fonts-ipafont-mincho を tools/install-deps で入れてください）");
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
        const QFont &f = piece.subscript ? small : font;
        p.setFont(f);
        const qreal air = piece.text == QString(QChar(0x00B7)) ? dotAir(font) : 0.0;
        p.drawText(QPointF(x + air, baseline.y() + (piece.subscript ? drop : 0.0)), piece.text);
        x += advance(piece, font, small);
    }
    return x - baseline.x();
}

} // namespace vaporica::material
