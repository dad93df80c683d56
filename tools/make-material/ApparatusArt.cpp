#include "ApparatusArt.h"

#include "app/RuntimeError.h"
#include "app/SharedVariables.h"
#include "assets/SvgRender.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

// Resources compiled into a static library are linked only when something refers to them, and the
// macro must be used outside any namespace.
static void initApparatusResources() {
    Q_INIT_RESOURCE(apparatus);
}

namespace vaporica {
namespace {

struct SvgFile {
    const char *name;
    QSize size;
};

const std::array<SvgFile, GeneratorCount> kGenerators = {{{"generator1.svg", {75, 187}},
                                             {"generator2.svg", {137, 186}},
                                             {"generator3.svg", {142, 148}},
                                             {"generator4.svg", {120, 234}}}};
const std::array<SvgFile, CollectorCount> kCollectors = {
    {{"collector1.svg", {93, 119}}, {"collector2.svg", {89, 119}}, {"collector3.svg", {179, 136}}}};

const QSize kSetupSize(427, 196);

// The gas passes these between generator and collector, in the order listed.
enum class Vessel { WaterWash, AcidWash, SodaLime };

struct Setup {
    int number;
    int generator;
    bool thermometer; // in place of the dropping funnel, bulb in the liquid
    std::vector<Vessel> between;
    int collector;
};

// The numbering is the one the question bank refers to.
const std::vector<Setup> &setups() {
    static const std::vector<Setup> table = {
        {1, 1, false, {}, 3},
        {2, 1, false, {}, 1},
        {3, 3, false, {}, 3},
        {4, 3, false, {}, 1},
        {5, 3, false, {Vessel::SodaLime}, 2}, // ammonia: basic drying agent, upward displacement
        {6, 2, false, {}, 3},
        {7, 4, false, {}, 1},
        {8, 4, false, {Vessel::WaterWash, Vessel::AcidWash}, 1}, // chlorine: HCl out, then dried
        {9, 4, true, {}, 3}, // ethylene: 160-170 degrees C must be watched
    };
    return table;
}

QString resourcePath(const char *name) {
    initApparatusResources();
    return QStringLiteral(":/apparatus/") + QLatin1String(name);
}

// The colours and widths of the glass tubes drawn in the SVG sources, so joins do not show.
const QColor kTubeOutline(Qt::black);
const QColor kTubeGlass(0xe3, 0xf6, 0xfd);
constexpr double kTubeOuterWidth = 4.0;
constexpr double kTubeInnerWidth = 2.0;

// Room between two parts for the joining tube, and between a set-up and the picture's edge.
constexpr double kJoinGap = 26.0;
constexpr double kMinPartSpacing = 6.0;
constexpr int kMargin = 4;
constexpr int kLabelPixelSize = 11;
constexpr int kLabelBand = 15;

// One drawing placed in a set-up, in unscaled coordinates with the bench at y = 0.
struct Part {
    QByteArray svg;
    QString source;
    QSizeF size;
    std::optional<QPointF> inlet;  // where the gas enters, in the part's own coordinates
    std::optional<QPointF> outlet; // where it leaves
    bool standsOnBench = true;     // otherwise it hangs in the tube at the height it is fed
    QString label;
    QByteArray overlaySvg; // drawn over the part into overlayRect
    QRectF overlayRect;
    QPointF pos; // top-left
};

std::optional<QPointF> anchor(const QSvgRenderer &renderer, const QString &id) {
    if (!renderer.elementExists(id))
        return std::nullopt;
    return renderer.boundsOnElement(id).center();
}

Part loadPart(const QString &source, QByteArray svg, QSizeF size) {
    const QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        throw RuntimeError(ErrorNumber::InvalidPicture, QStringLiteral("ピクチャが無効です (SVG)"),
                           source);
    Part part;
    part.svg = std::move(svg);
    part.source = source;
    part.size = size.isValid() ? size : QSizeF(renderer.defaultSize());
    part.inlet = anchor(renderer, QStringLiteral("inlet"));
    part.outlet = anchor(renderer, QStringLiteral("outlet"));
    return part;
}

Part loadPart(const char *name, QSizeF size = {}) {
    const QString source = resourcePath(name);
    return loadPart(source, readSvg(source), size);
}

Part generatorPart(int n, bool thermometer) {
    const SvgFile &file = kGenerators.at(n - 1);
    if (!thermometer)
        return loadPart(file.name, file.size);
    const QString source = resourcePath(file.name);
    const QByteArray svg = readSvg(source);
    const QRectF slot = QSvgRenderer(svg).boundsOnElement(QStringLiteral("thermometer-slot"));
    Part part =
        loadPart(source, withoutSvgElement(svg, QStringLiteral("dropping-funnel")), file.size);
    part.overlaySvg = readSvg(resourcePath("thermometer.svg"));
    part.overlayRect = slot;
    return part;
}

Part vesselPart(Vessel vessel) {
    switch (vessel) {
    case Vessel::WaterWash: {
        Part part = loadPart("wash-bottle.svg");
        part.label = QStringLiteral("水");
        return part;
    }
    case Vessel::AcidWash: {
        Part part = loadPart("wash-bottle.svg");
        part.label = QStringLiteral("濃硫酸");
        return part;
    }
    case Vessel::SodaLime: {
        Part part = loadPart("drying-tube.svg");
        part.label = QStringLiteral("ソーダ石灰");
        part.standsOnBench = false;
        return part;
    }
    }
    return {};
}

// Lays the parts out left to right, each inlet a joining gap after the previous outlet.
void arrange(std::vector<Part> &parts) {
    for (std::size_t i = 0; i < parts.size(); ++i) {
        Part &part = parts[i];
        if (i == 0) {
            part.pos = QPointF(0, -part.size.height());
            continue;
        }
        const Part &prev = parts[i - 1];
        const QPointF feed = prev.pos + prev.outlet.value();
        const double x = std::max(prev.pos.x() + prev.size.width() + kMinPartSpacing,
                                  feed.x() + kJoinGap - part.inlet->x());
        const double y = part.standsOnBench ? -part.size.height() : feed.y() - part.inlet->y();
        part.pos = QPointF(x, y);
    }
}

// A tube from a to b that runs level, turns once to reach b's height halfway, and runs level again.
QPainterPath joiningTube(QPointF a, QPointF b, double cornerRadius) {
    QPainterPath path(a);
    const double dy = b.y() - a.y();
    if (std::abs(dy) < 0.5) {
        path.lineTo(b);
        return path;
    }
    const double xm = (a.x() + b.x()) / 2;
    const double sign = dy > 0 ? 1.0 : -1.0;
    const double r = std::min({cornerRadius, std::abs(dy) / 2, (b.x() - a.x()) / 2});
    path.lineTo(xm - r, a.y());
    path.quadTo(xm, a.y(), xm, a.y() + sign * r);
    path.lineTo(xm, b.y() - sign * r);
    path.quadTo(xm, b.y(), xm + r, b.y());
    path.lineTo(b);
    return path;
}

void drawSvg(QPainter &painter, const QByteArray &svg, const QRectF &target) {
    QSvgRenderer renderer(svg);
    renderer.render(&painter, target);
}

// Draws the parts and their joining tubes at natural size. Every anchor lies on a whole pixel
// there, so the butt ends of the tubes meet exactly and leave no antialiased seam.
QImage drawAtNaturalSize(const std::vector<Part> &parts, const QRect &content) {
    QImage canvas(content.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-content.topLeft());
    for (const Part &part : parts) {
        drawSvg(painter, part.svg, QRectF(part.pos, part.size));
        if (!part.overlaySvg.isEmpty())
            drawSvg(painter, part.overlaySvg, part.overlayRect.translated(part.pos));
    }
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const QPointF from = parts[i].pos + parts[i].outlet.value();
        const QPointF to = parts[i + 1].pos + parts[i + 1].inlet.value();
        // The glass reaches into both ends to cover where the outlines' ends meet.
        const QPointF overlap(2.0, 0.0);
        painter.strokePath(
            joiningTube(from, to, 6),
            QPen(kTubeOutline, kTubeOuterWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        painter.strokePath(
            joiningTube(from - overlap, to + overlap, 6),
            QPen(kTubeGlass, kTubeInnerWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    }
    return canvas;
}

QImage composeSetup(const Setup &setup) {
    std::vector<Part> parts;
    parts.push_back(generatorPart(setup.generator, setup.thermometer));
    for (Vessel vessel : setup.between)
        parts.push_back(vesselPart(vessel));
    const SvgFile &collector = kCollectors.at(setup.collector - 1);
    parts.push_back(loadPart(collector.name, collector.size));
    arrange(parts);

    QRectF bounds;
    bool labelled = false;
    for (const Part &part : parts) {
        bounds |= QRectF(part.pos, part.size);
        labelled = labelled || !part.label.isEmpty();
    }
    const QRect content = bounds.toAlignedRect();
    QImage drawing = drawAtNaturalSize(parts, content);

    // Shrunk to fit if need be, centred across and standing on the bottom edge above the labels.
    const int band = labelled ? kLabelBand : 0;
    const QSize room(kSetupSize.width() - 2 * kMargin, kSetupSize.height() - 2 * kMargin - band);
    if (drawing.width() > room.width() || drawing.height() > room.height())
        drawing = drawing.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const double scale = double(drawing.width()) / content.width();
    const QPoint topLeft((kSetupSize.width() - drawing.width()) / 2,
                         kSetupSize.height() - kMargin - band - drawing.height());

    QImage image(kSetupSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawImage(topLeft, drawing);

    // Labels are drawn at the final size so they stay sharp.
    QFont font(QStringLiteral("IPAPMincho"));
    font.setPixelSize(kLabelPixelSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (const Part &part : parts) {
        if (part.label.isEmpty())
            continue;
        const QPointF below =
            QPointF(topLeft) + (QPointF(part.pos.x(), part.pos.y() + part.size.height()) -
                                QPointF(content.topLeft())) *
                                   scale;
        const QRectF box(below.x() - 20, below.y() + 1, part.size.width() * scale + 40, band);
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, part.label);
    }
    return image;
}

} // namespace

QImage generatorPicture(int n) {
    if (n < 1 || n > int(kGenerators.size()))
        throw subscriptError("generatorPicture", n, 1, int(kGenerators.size()));
    const SvgFile &file = kGenerators.at(n - 1);
    return renderSvgFile(resourcePath(file.name), file.size);
}

QImage collectorPicture(int n) {
    if (n < 1 || n > int(kCollectors.size()))
        throw subscriptError("collectorPicture", n, 1, int(kCollectors.size()));
    const SvgFile &file = kCollectors.at(n - 1);
    return renderSvgFile(resourcePath(file.name), file.size);
}

QImage setupPicture(int n) {
    for (const Setup &setup : setups())
        if (setup.number == n)
            return composeSetup(setup);
    throw subscriptError("setupPicture", n, 1, int(setups().size()));
}

QList<int> setupNumbers() {
    QList<int> numbers;
    for (const Setup &setup : setups())
        numbers.append(setup.number);
    return numbers;
}

QSize setupPictureSize() {
    return kSetupSize;
}

} // namespace vaporica
