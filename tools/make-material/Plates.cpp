#include "Plates.h"

#include "drawing/Fonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <map>
#include <utility>

namespace vaporica {

namespace {

// The screens' background; the corners of a plate melt into it.
const QColor Cream(255, 255, 191);

struct Look {
    QColor face, light, dark, rim, text, shadow;
};

const Look GasNormal{
    QColor(13, 171, 255), QColor(160, 224, 255), QColor(0, 96, 178), QColor(0, 58, 120), Qt::white,
    QColor(0, 70, 150)};
const Look ReagentNormal{QColor(0, 214, 0), QColor(160, 255, 150),
                         QColor(0, 128, 0), QColor(0, 78, 0),
                         Qt::white,         QColor(0, 96, 0)};
// The highlighted look is warm and lit, so it stands out from a column of blue or green plates at
// a glance, and its rim is darker so it reads as pressed forward.
const Look Highlighted{QColor(255, 128, 0), QColor(255, 236, 130),
                       QColor(200, 72, 0),  QColor(150, 20, 0),
                       Qt::white,           QColor(140, 36, 0)};

QFont plateFont(qreal pixelSize) {
    QFont font;
    // The Mincho faces; the first name is the platform font they stand in for.
    font.setFamilies(
        QStringList{PMinchoFace, QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho")});
    font.setPixelSize(qRound(pixelSize));
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// The plate sits within the rows a 35-pixel button face shows of a 40-pixel picture, so nothing
// of it is cut off on a gas button; the cream above and below matches the window background.
QImage drawPlate(int width, int height, const QString &text, const Look &look, int textPixels) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Cream);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF outer(1.0, 3.0, width - 2.0, height - 6.0);
    const qreal radius = 8.0;
    QPainterPath outerPath;
    outerPath.addRoundedRect(outer, radius, radius);
    QLinearGradient bevel(outer.topLeft(), outer.bottomRight());
    bevel.setColorAt(0.0, look.light);
    bevel.setColorAt(0.45, look.face);
    bevel.setColorAt(1.0, look.dark);
    p.fillPath(outerPath, bevel);
    p.setPen(QPen(look.rim, 1.0));
    p.drawPath(outerPath);

    const QRectF inner = outer.adjusted(3.0, 3.0, -3.0, -3.0);
    QPainterPath innerPath;
    innerPath.addRoundedRect(inner, radius - 3.0, radius - 3.0);
    QLinearGradient face(inner.topLeft(), inner.bottomLeft());
    face.setColorAt(0.0, look.face.lighter(112));
    face.setColorAt(0.5, look.face);
    face.setColorAt(1.0, look.face.darker(108));
    p.fillPath(innerPath, face);

    // Narrow the type rather than shrink it when a long name would touch the rim.
    QFont font = plateFont(textPixels);
    const qreal room = inner.width() - 6.0;
    const qreal wide = QFontMetricsF(font).horizontalAdvance(text);
    if (wide > room)
        font.setStretch(qMax(60, int(100.0 * room / wide)));
    p.setFont(font);
    const QRectF textBox = inner.translated(0.0, 0.5);
    // A dark edge below and to the right keeps white type legible on a bright face.
    p.setPen(look.shadow);
    for (const QPointF offset : {QPointF(1.0, 1.0), QPointF(0.0, 1.0), QPointF(1.0, 0.0)})
        p.drawText(textBox.translated(offset), Qt::AlignCenter, text);
    p.setPen(look.text);
    p.drawText(textBox, Qt::AlignCenter, text);
    return image;
}

// Drawing a plate sets text, which made the gas quiz's load the slowest screen switch; a plate
// never changes, so each is drawn once per run (about 1 MB for all of them).
using PlateStore = std::map<std::pair<int, bool>, QImage>;

template <class Draw> QImage keptPlate(PlateStore &store, std::pair<int, bool> key, Draw draw) {
    auto found = store.find(key);
    if (found == store.end())
        found = store.emplace(key, draw()).first;
    return found->second;
}

} // namespace

QImage gasPlate(int gas, bool highlighted) {
    static PlateStore drawn;
    const QString name = gasName(gas); // an unknown gas fails before anything is kept
    return keptPlate(drawn, {gas, highlighted}, [&] {
        return drawPlate(GasPlateWidth, GasPlateHeight, name, highlighted ? Highlighted : GasNormal,
                         17);
    });
}

QImage reagentPlate(int reagent, bool highlighted) {
    static PlateStore drawn;
    const QString name = reagentName(reagent);
    return keptPlate(drawn, {reagent, highlighted}, [&] {
        return drawPlate(ReagentPlateWidth, ReagentPlateHeight, name,
                         highlighted ? Highlighted : ReagentNormal, 17);
    });
}

} // namespace vaporica
