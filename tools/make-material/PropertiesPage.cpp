#include "PropertiesPage.h"

#include "Plates.h"
#include "Typeset.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <stdexcept>

namespace vaporica::material {

namespace {

const QColor Band(13, 171, 255);
const QColor BandDark(0, 110, 200);
const QColor LabelFill(226, 242, 255);
const QColor LabelInk(0, 60, 130);
const QColor Rule(190, 210, 230);
const QColor Ink(20, 20, 20);
const QColor Danger(210, 0, 0);
const QColor DangerFill(255, 228, 228);

constexpr int BandHeight = 40;
constexpr int LabelWidth = 84;
constexpr qreal Pad = 5;

struct Item {
    QString label, text;
    bool danger = false;
    std::optional<QColor> swatch;
};

QList<Item> itemsOf(const GasRow &g) {
    QList<Item> items = {
        {QStringLiteral("色・におい"), g.colourOdour, false, g.swatch},
        {QStringLiteral("水への溶け方"), g.water, false, {}},
        {QStringLiteral("空気との比較"), g.air, false, {}},
        {QStringLiteral("捕集法"), collectionName(g.collection), false, {}},
        {QStringLiteral("検出"), g.test, false, {}},
    };
    if (!g.notes.isEmpty())
        items.append({QStringLiteral("性質"), g.notes, false, {}});
    if (!g.caution.isEmpty())
        items.append({QStringLiteral("注意"), g.caution, true, {}});
    return items;
}

qreal textRoom(const Item &item, qreal size) {
    return PropertiesWidth - LabelWidth - 2 * Pad - (item.swatch ? size + 4 : 0) - 2;
}

// The text broken into lines as Qt's line breaker does it (no line starts with 。 or ）).
QStringList wrap(const QString &text, const QFont &font, qreal width) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

qreal lineHeight(const QFont &font) {
    return QFontMetricsF(font).height() + 1;
}

qreal rowHeight(const Item &item, const QFont &font) {
    return wrap(item.text, font, textRoom(item, font.pixelSize())).size() * lineHeight(font) + 6;
}

void drawBand(QPainter &p, const GasRow &g) {
    QLinearGradient fill(0, 0, 0, BandHeight);
    fill.setColorAt(0, Band.lighter(115));
    fill.setColorAt(1, BandDark);
    p.fillRect(QRectF(0, 0, PropertiesWidth, BandHeight), fill);

    const QFont nameFont = minchoFont(24, true);
    const qreal baseline = BandHeight / 2.0 + QFontMetricsF(nameFont).capHeight() / 2.0 + 2;
    p.setFont(nameFont);
    p.setPen(QColor(0, 50, 110));
    p.drawText(QPointF(11, baseline + 1), gasName(g.number));
    p.setPen(Qt::white);
    p.drawText(QPointF(10, baseline), gasName(g.number));
    const qreal nameWidth = QFontMetricsF(nameFont).horizontalAdvance(gasName(g.number));
    drawChemical(p, QPointF(10 + nameWidth + 14, baseline), g.formula, minchoFont(24, true));

    if (!g.toxicity.isEmpty()) {
        const QFont badgeFont = minchoFont(16, true);
        const qreal w = QFontMetricsF(badgeFont).horizontalAdvance(g.toxicity) + 14;
        const QRectF badge(PropertiesWidth - w - 8, 8, w, BandHeight - 16);
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

QImage propertiesPage(const GasRow &g, QStringList *warnings) {
    const QList<Item> items = itemsOf(g);
    const qreal room = PropertiesHeight - BandHeight - 1;
    qreal size = 14;
    QList<qreal> heights;
    for (;; size -= 0.5) {
        if (size < 11)
            throw std::runtime_error(QStringLiteral("%1 の性質の文が長すぎて画像に収まりません")
                                         .arg(gasName(g.number))
                                         .toStdString());
        heights.clear();
        qreal total = 0;
        for (const Item &item : items) {
            heights.append(rowHeight(item, minchoFont(size)));
            total += heights.last();
        }
        if (total <= room) {
            // Share what is left over equally, so the rows fill the page evenly.
            const qreal extra = (room - total) / items.size();
            for (qreal &h : heights)
                h += extra;
            break;
        }
    }

    QImage image(PropertiesWidth, PropertiesHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawBand(p, g);

    const QFont text = minchoFont(size);
    const QFont label = minchoFont(qMin(size, 12.0), true);
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
            const qreal d = size;
            const QRectF dot(x, row.center().y() - d / 2, d, d);
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(*item.swatch);
            p.drawEllipse(dot);
            p.setBrush(Qt::NoBrush);
            x += d + 4;
        }
        p.setPen(item.danger ? Danger : Ink);
        p.setFont(text);
        const QStringList lines = wrap(item.text, text, textRoom(item, size));
        if (warnings && lines.size() > 1 && lines.last().trimmed().size() <= 3)
            *warnings << QStringLiteral("性質: %1 の「%2」は折り返しの最後の行が「%3」だけです")
                             .arg(gasName(g.number), item.label, lines.last().trimmed());
        const QFontMetricsF tm(text);
        qreal baseline = row.center().y() - lines.size() * lineHeight(text) / 2.0 + tm.ascent();
        for (const QString &line : lines) {
            p.drawText(QPointF(x, baseline), line);
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
