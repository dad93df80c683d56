#include "Plates.h"

#include "drawing/Fonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace vaporica {

namespace {

// The screens' background; the corners of a plate melt into it.
const QColor Cream(255, 255, 191);

struct Look {
    QColor face, light, dark, rim, text;
    std::optional<QColor> shadow; // a dark edge under light type
    qreal rimWidth = 1.0;
};

// A deep plate carries white type with a dark edge under it, in a thin rim.
Look deepPlate(QColor face, QColor light, QColor dark, QColor rim, QColor shadow) {
    return {face, light, dark, rim, Qt::white, shadow, 1.0};
}

// A pale plate carries dark type in its rim's colour, with no edge under it.
Look palePlate(QColor face, QColor light, QColor dark, QColor ink, qreal rimWidth) {
    return {face, light, dark, ink, ink, std::nullopt, rimWidth};
}

// The plain plates are deep enough in tone that white type on them reads at better than 4.5:1.
const Look GasNormal = deepPlate(QColor(0, 88, 184), QColor(96, 164, 232), QColor(0, 48, 118),
                                 QColor(0, 30, 80), QColor(0, 28, 84));
const Look ReagentNormal = deepPlate(QColor(0, 108, 40), QColor(86, 176, 104), QColor(0, 62, 20),
                                     QColor(0, 40, 10), QColor(0, 40, 12));
// The question's reagents are pale plates in a heavy black frame with black type among the deep
// green ones: told apart by lightness and by the frame, so also in greyscale and by a pupil who
// cannot tell red from green.
const Look ReagentQuestion = palePlate(QColor(255, 238, 140), QColor(255, 251, 214),
                                       QColor(236, 200, 84), QColor(24, 16, 0), 3.0);
// A gas under the pointer turns pale sky with navy type and a thin rim: lit like the question's
// reagents, so it stands out of its column, but neither yellow nor framed, so a gas button never
// looks like a reagent of the question.
const Look GasHighlighted = palePlate(QColor(206, 236, 255), QColor(246, 252, 255),
                                      QColor(150, 200, 240), QColor(0, 44, 110), 1.0);

// The plate sits within the rows a 35-pixel button face shows of a 40-pixel picture, so nothing
// of it is cut off on a gas button; the cream above and below matches the window background.
QImage drawPlate(int width, int height, const QString &text, const Look &look, int textPixels,
                 int scale) {
    QImage image(width * scale, height * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale); // the painter draws in the plate's own pixels
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
    const QRectF inner = outer.adjusted(3.0, 3.0, -3.0, -3.0);
    QPainterPath innerPath;
    innerPath.addRoundedRect(inner, radius - 3.0, radius - 3.0);
    QLinearGradient face(inner.topLeft(), inner.bottomLeft());
    face.setColorAt(0.0, look.face.lighter(112));
    face.setColorAt(0.5, look.face);
    face.setColorAt(1.0, look.face.darker(108));
    p.fillPath(innerPath, face);
    // The rim is drawn last, inward and on whole pixels, so a heavy frame is solid and narrows the
    // bevel, not the face.
    const qreal half = look.rimWidth / 2.0;
    QPainterPath rimPath;
    rimPath.addRoundedRect(outer.adjusted(half, half, -half, -half), radius - half, radius - half);
    p.setPen(QPen(look.rim, look.rimWidth));
    p.drawPath(rimPath);

    // Narrow the type rather than shrink it when a long name would touch the rim.
    QFont font = minchoPixelFont(textPixels, true);
    const qreal room = inner.width() - 6.0;
    const qreal wide = QFontMetricsF(font).horizontalAdvance(text);
    if (wide > room)
        font.setStretch(qMax(60, int(100.0 * room / wide)));
    p.setFont(font);
    const QRectF textBox = inner.translated(0.0, 0.5);
    // A dark edge below and to the right sets light type off its face.
    if (look.shadow) {
        p.setPen(*look.shadow);
        for (const QPointF offset : {QPointF(1.0, 1.0), QPointF(0.0, 1.0), QPointF(1.0, 0.0)})
            p.drawText(textBox.translated(offset), Qt::AlignCenter, text);
    }
    p.setPen(look.text);
    p.drawText(textBox, Qt::AlignCenter, text);
    return image;
}

// Drawing a plate sets text, which made the gas quiz's load the slowest screen switch; a plate
// never changes, so each is drawn once per run (about 1 MB for all of them).
using PlateStore = std::map<std::tuple<int, bool, int>, QImage>;

template <class Draw>
QImage keptPlate(PlateStore &store, std::tuple<int, bool, int> key, Draw draw) {
    auto found = store.find(key);
    if (found == store.end())
        found = store.emplace(key, draw()).first;
    return found->second;
}

} // namespace

QImage gasPlate(int gas, bool highlighted, int scale) {
    static PlateStore drawn;
    const QString name = gasName(gas); // an unknown gas fails before anything is kept
    return keptPlate(drawn, {gas, highlighted, scale}, [&] {
        return drawPlate(GasPlateWidth, GasPlateHeight, name,
                         highlighted ? GasHighlighted : GasNormal, 17, scale);
    });
}

QImage reagentPlate(int reagent, bool highlighted, int scale) {
    static PlateStore drawn;
    const QString name = reagentName(reagent);
    return keptPlate(drawn, {reagent, highlighted, scale}, [&] {
        return drawPlate(ReagentPlateWidth, ReagentPlateHeight, name,
                         highlighted ? ReagentQuestion : ReagentNormal, 17, scale);
    });
}

} // namespace vaporica
