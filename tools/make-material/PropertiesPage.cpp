#include "PropertiesPage.h"

#include "Formula.h"
#include "Plates.h"
#include "Typeset.h"
#include "drawing/Fonts.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <numeric>
#include <stdexcept>

namespace vaporica::material {

namespace {

// The name is set white on the band: deep enough for better than 4.5:1 from top to bottom.
const QColor Band(0, 96, 196);
const QColor BandDark(0, 62, 140);
const QColor LabelFill(226, 242, 255);
const QColor LabelInk(0, 60, 130);
const QColor Rule(190, 210, 230);
const QColor Ink(20, 20, 20);
const QColor Danger(200, 0, 0);
const QColor DangerFill(255, 236, 236);

constexpr int BandHeight = 32;
constexpr int LabelWidth = 80;
constexpr qreal Pad = 5;
constexpr qreal RowPad = 2;
// One type size on every page, so the pages read as one set; small enough for the cautions and
// reasons a textbook page gives.
constexpr qreal TextSize = 12;

struct Item {
    QString label;
    QStringList lines; // as the table breaks them
    bool danger = false;
    std::optional<QColor> swatch;
};

QList<Item> itemsOf(const GasRow &g) {
    QList<Item> items;
    for (const PropertiesRow &row : propertiesRows(g))
        items.append({row.label, row.text.split(QLatin1Char('|')), row.danger, std::nullopt});
    items.first().swatch = g.swatch; // beside the colour
    return items;
}

qreal textRoom(const Item &item) {
    return PropertiesWidth - LabelWidth - 2 * Pad - (item.swatch ? TextSize + 4 : 0) - 2;
}

qreal lineHeight(const QFont &font) {
    return QFontMetricsF(font).height() + 1;
}

// Every line must fit as the table breaks it: a line that would wrap on its own could break
// inside a word, so it is refused instead.
void checkWidths(const GasRow &g, const QList<Item> &items, const QFont &font) {
    for (const Item &item : items)
        for (const QString &line : item.lines) {
            const qreal width = chemicalWidth(line, font);
            if (line.trimmed().isEmpty() || width > textRoom(item))
                throw std::runtime_error(
                    QStringLiteral("%1 の「%2」の行「%3」が %4 px あり、1 行に入るのは %5 px "
                                   "までです（| で改行の位置を指定してください）")
                        .arg(gasName(g.number), item.label, shortened(line))
                        .arg(qCeil(width))
                        .arg(qFloor(textRoom(item)))
                        .toStdString());
        }
}

void drawBand(QPainter &p, const GasRow &g) {
    QLinearGradient fill(0, 0, 0, BandHeight);
    fill.setColorAt(0, Band);
    fill.setColorAt(1, BandDark);
    p.fillRect(QRectF(0, 0, PropertiesWidth, BandHeight), fill);

    const QFont nameFont = minchoPixelFont(22, true);
    const qreal baseline = BandHeight / 2.0 + QFontMetricsF(nameFont).capHeight() / 2.0 + 2;
    p.setFont(nameFont);
    p.setPen(QColor(0, 50, 110));
    p.drawText(QPointF(11, baseline + 1), gasName(g.number));
    p.setPen(Qt::white);
    p.drawText(QPointF(10, baseline), gasName(g.number));
    const qreal nameWidth = QFontMetricsF(nameFont).horizontalAdvance(gasName(g.number));
    drawChemical(p, QPointF(10 + nameWidth + 14, baseline), g.formula, minchoPixelFont(22, true));

    if (!g.toxicity.isEmpty()) {
        const QFont badgeFont = minchoPixelFont(16, true);
        const qreal w = QFontMetricsF(badgeFont).horizontalAdvance(g.toxicity) + 14;
        const QRectF badge(PropertiesWidth - w - 8, 7, w, BandHeight - 14);
        QPainterPath path;
        path.addRoundedRect(badge, 5, 5);
        p.fillPath(path, Danger);
        p.setPen(QPen(Qt::white, 1.5));
        p.drawPath(path);
        p.setFont(badgeFont);
        p.drawText(badge, Qt::AlignCenter, g.toxicity);
    }
}

} // namespace

QList<PropertiesRow> propertiesRows(const GasRow &g) {
    QList<PropertiesRow> rows = {
        {QStringLiteral("色・におい"), g.colourOdour, false},
        {QStringLiteral("水への溶け方"), g.water, false},
        {QStringLiteral("空気との比較"), g.air, false},
        {QStringLiteral("捕集法"), collectionName(g.collection) + g.collectionNote, false},
        {QStringLiteral("乾燥剤"), g.drying, false},
        {QStringLiteral("検出"), g.test, false},
    };
    if (!g.notes.isEmpty())
        rows.append({QStringLiteral("性質"), g.notes, false});
    if (!g.caution.isEmpty())
        rows.append({QStringLiteral("注意"), g.caution, true});
    return rows;
}

QImage propertiesPage(const GasRow &g, int scale) {
    const QList<Item> items = itemsOf(g);
    const QFont text = minchoPixelFont(TextSize);
    checkWidths(g, items, text);
    const qreal room = PropertiesHeight - BandHeight - 1;
    QList<qreal> heights;
    qreal total = 0;
    for (const Item &item : items) {
        heights.append(item.lines.size() * lineHeight(text) + RowPad);
        total += heights.last();
    }
    if (total > room)
        throw std::runtime_error(
            QStringLiteral("%1 の性質が %2 行（%3 px）あり、画像の高さ %4 px に収まりません")
                .arg(gasName(g.number))
                .arg(std::accumulate(items.begin(), items.end(), qsizetype(0),
                                     [](qsizetype n, const Item &i) { return n + i.lines.size(); }))
                .arg(qCeil(total))
                .arg(qFloor(room))
                .toStdString());
    // Share what is left over equally, so the rows fill the page evenly.
    for (qreal &h : heights)
        h += (room - total) / items.size();

    QImage image(PropertiesWidth * scale, PropertiesHeight * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale); // the painter draws in the page's own pixels
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawBand(p, g);

    const QFont label = minchoPixelFont(12, true);
    qreal y = BandHeight;
    for (int i = 0; i < items.size(); ++i) {
        const Item &item = items[i];
        const QRectF row(0, y, PropertiesWidth, heights[i]);
        const QRectF labelBox(0, y, LabelWidth, heights[i]);
        p.fillRect(labelBox, item.danger ? DangerFill : LabelFill);
        p.setPen(item.danger ? Danger : LabelInk);
        p.setFont(label);
        p.drawText(labelBox, Qt::AlignCenter, item.label);

        qreal x = LabelWidth + Pad;
        if (item.swatch) {
            const qreal d = TextSize;
            const QRectF dot(x, row.center().y() - d / 2, d, d);
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(*item.swatch);
            p.drawEllipse(dot);
            p.setBrush(Qt::NoBrush);
            x += d + 4;
        }
        p.setPen(item.danger ? Danger : Ink);
        p.setFont(text);
        const QStringList &lines = item.lines;
        const QFontMetricsF tm(text);
        qreal baseline = row.center().y() - lines.size() * lineHeight(text) / 2.0 + tm.ascent();
        for (const QString &line : lines) {
            drawChemical(p, QPointF(x, baseline), line, text);
            baseline += lineHeight(text);
        }

        y += heights[i];
        p.setPen(QPen(Rule, 1));
        if (i + 1 < items.size())
            p.drawLine(QPointF(0, y - 0.5), QPointF(PropertiesWidth, y - 0.5));
    }
    p.setPen(QPen(Rule, 1));
    p.drawLine(QPointF(LabelWidth - 0.5, BandHeight), QPointF(LabelWidth - 0.5, PropertiesHeight));
    p.setPen(QPen(BandDark, 1));
    p.drawRect(QRectF(0.5, 0.5, PropertiesWidth - 1, PropertiesHeight - 1));
    return image;
}

} // namespace vaporica::material
