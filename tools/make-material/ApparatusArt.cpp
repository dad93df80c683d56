#include "ApparatusArt.h"

#include "Plates.h"
#include "base/RuntimeError.h"
#include "base/SharedVariables.h"
#include "drawing/SvgRender.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
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
// Labels are set bold on an opaque white plate: the picture's transparency is all-or-nothing in
// the GIF, and the thin anti-aliased strokes of words drawn on a transparent ground would vanish.
constexpr int kLabelPixelSize = 12;
constexpr int kLabelPlatePadding = 3;
constexpr int kLabelBand = 18;
constexpr int kLeaderRoom = 10; // between a reagent's plate and the drawing
const QColor kLabelPlate(Qt::white);
const QColor kLabelPlateEdge(150, 150, 150);
const QColor kLeader(60, 60, 60);

// One drawing placed in a set-up, in unscaled coordinates with the bench at y = 0.
struct Part {
    QByteArray svg;
    QString source;
    QSizeF size;
    std::optional<QPointF> inlet;  // where the gas enters, in the part's own coordinates
    std::optional<QPointF> outlet; // where it leaves
    bool standsOnBench = true;     // otherwise it hangs in the tube at the height it is fed
    QString label;
    bool labelBeside = false; // the label sits on the band under the part unless it hangs
    QByteArray overlaySvg;    // drawn over the part into overlayRect
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

// --- contents ---------------------------------------------------------------------------------

// How a reagent looks in the glass, by the reagent plates' numbering.
struct Look {
    bool solid;
    QColor colour;
};
Look lookOf(int reagent) {
    const QColor white(0xf6, 0xf6, 0xf2);
    const QColor liquid(0x8e, 0xd0, 0xf0);
    switch (reagent) {
    case 1:
        return {true, QColor(0xa9, 0xae, 0xb4)}; // zinc granules
    case 15:
        return {true, QColor(0x6a, 0x6a, 0x72)}; // calcium carbide, grey lumps
    case 18:
        return {true, QColor(0xc4, 0x6a, 0x2c)}; // copper turnings
    case 19:
        return {true, QColor(0x1c, 0x1c, 0x1c)}; // manganese dioxide, black
    case 24:
        return {true, QColor(0x3a, 0x36, 0x32)}; // iron(II) sulfide, dark lumps
    case 3:
    case 4:
    case 5:
    case 11:
    case 12:
    case 13:
    case 14:
    case 16:
    case 17:
        return {true, white};
    case 22:
        return {false, QColor(0xf0, 0xe2, 0xb0)}; // conc. sulfuric acid, oily and yellowish
    case 23:
        return {false, QColor(0xa9, 0xdd, 0xf6)}; // water
    default:
        return {false, liquid};
    }
}
const QColor kWashWater(0xa9, 0xdd, 0xf6);

// Sets attributes on the start tag of the element with the given id; the rest of the source is
// copied unchanged. The drawings are our own files, one attribute of a name per tag.
QByteArray withAttributes(const QByteArray &svg, const QString &id,
                          const QList<std::pair<QString, QString>> &values) {
    const QByteArray key = "id=\"" + id.toUtf8() + '"';
    const qsizetype at = svg.indexOf(key);
    if (at < 0)
        return svg;
    const qsizetype open = svg.lastIndexOf('<', at);
    const qsizetype close = svg.indexOf('>', at);
    QString tag = QString::fromUtf8(svg.mid(open, close - open));
    for (const auto &[name, value] : values) {
        tag.remove(QRegularExpression(
            QStringLiteral("\\s%1=\"[^\"]*\"").arg(QRegularExpression::escape(name))));
        tag.replace(QString::fromUtf8(key),
                    QStringLiteral("%1 %2=\"%3\"").arg(QString::fromUtf8(key), name, value));
    }
    return svg.left(open) + tag.toUtf8() + svg.mid(close);
}

QByteArray filled(const QByteArray &svg, const QString &id, const QColor &colour,
                  bool outlined = false) {
    QList<std::pair<QString, QString>> values = {{QStringLiteral("fill"), colour.name()}};
    if (outlined)
        values.append({QStringLiteral("stroke"), QStringLiteral("#000")});
    return withAttributes(svg, id, values);
}

// Where a generator holds its reagents, in the drawing's own coordinates.
struct Spots {
    std::optional<QPointF> funnel; // the liquid in the dropping funnel
    QPointF solid;                 // what lies on the bottom of the vessel
    QPointF liquid;                // the liquid in the vessel
};
Spots spotsOf(int generator, bool thermometer) {
    switch (generator) {
    case 1:
        return {QPointF(30, 49), QPointF(17, 179), QPointF(52, 166)};
    case 2:
        return {std::nullopt, QPointF(30, 114), QPointF(30, 114)};
    case 3:
        return {std::nullopt, QPointF(30, 68), QPointF(30, 68)};
    default:
        return {thermometer ? std::nullopt : std::optional<QPointF>(QPointF(50, 47)),
                QPointF(57, 162), QPointF(48, 152)};
    }
}

// A reagent's name and where its leader line ends, in the generator's coordinates.
struct ReagentLabel {
    QString text;
    QPointF spot;
};

// Draws the reagents into the generator and says where each one is: a solid on the bottom of the
// vessel (two solids as one mixture), a liquid in the dropping funnel when a solid waits for it,
// otherwise in the vessel.
QList<ReagentLabel> fillGenerator(Part &generator, const Setup &setup,
                                  const SetupContents &contents) {
    const Spots spots = spotsOf(setup.generator, setup.thermometer);
    QList<int> reagents = {contents.reagent1};
    if (contents.reagent2 != contents.reagent1)
        reagents.append(contents.reagent2);
    QList<int> solids, liquids;
    for (int r : reagents)
        (lookOf(r).solid ? solids : liquids).append(r);

    QByteArray &svg = generator.svg;
    if (!solids.isEmpty()) {
        const QColor main = lookOf(solids.first()).colour;
        // Grains show a second solid mixed in, or the texture of a single one.
        const QColor grains = solids.size() > 1 ? lookOf(solids[1]).colour
                                                : main.darker(main.lightness() > 200 ? 125 : 160);
        svg = filled(svg, QStringLiteral("solid"), main, true);
        svg = filled(svg, QStringLiteral("solid-grains"), grains);
    }
    if (!liquids.isEmpty()) {
        // What the funnel drops in is what the vessel holds.
        const QColor colour = lookOf(liquids.first()).colour;
        svg = filled(svg, QStringLiteral("funnel-liquid"), colour);
        svg = filled(svg, QStringLiteral("flask-liquid"), colour);
    }
    if (setup.thermometer)
        svg = filled(svg, QStringLiteral("boiling-chips"), Qt::white, true);

    QList<ReagentLabel> labels;
    for (int r : solids)
        labels.append({reagentName(r), spots.solid});
    for (int r : liquids)
        labels.append(
            {reagentName(r), spots.funnel && !solids.isEmpty() ? *spots.funnel : spots.liquid});
    if (setup.thermometer)
        labels.append({QStringLiteral("沸騰石"), spots.solid});
    return labels;
}

// A coloured gas fills the collecting jar from the bottom, as it is collected.
void tintGas(Part &collector, const QColor &gas) {
    const QColor glass = kTubeGlass;
    const QColor tint((gas.red() + glass.red()) / 2, (gas.green() + glass.green()) / 2,
                      (gas.blue() + glass.blue()) / 2);
    collector.svg = filled(collector.svg, QStringLiteral("gas"), tint);
}

Part vesselPart(Vessel vessel) {
    switch (vessel) {
    case Vessel::WaterWash: {
        Part part = loadPart("wash-bottle.svg");
        part.svg = filled(part.svg, QStringLiteral("liquid"), kWashWater);
        part.label = QStringLiteral("水");
        return part;
    }
    case Vessel::AcidWash: {
        Part part = loadPart("wash-bottle.svg");
        part.svg = filled(part.svg, QStringLiteral("liquid"), lookOf(22).colour);
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

QFont labelFont() {
    QFont font(QStringLiteral("IPAPMincho"));
    font.setPixelSize(kLabelPixelSize);
    font.setBold(true);
    return font;
}

// The drawing at its final size and place, and the labels' plates under their parts.
struct Composition {
    QImage drawing;
    QPoint topLeft;
    QList<SetupLabel> labels;
};

Composition compose(const Setup &setup, const std::optional<SetupContents> &contents) {
    std::vector<Part> parts;
    parts.push_back(generatorPart(setup.generator, setup.thermometer));
    QList<ReagentLabel> reagents;
    if (contents)
        reagents = fillGenerator(parts.front(), setup, *contents);
    for (Vessel vessel : setup.between)
        parts.push_back(vesselPart(vessel));
    const SvgFile &collector = kCollectors.at(setup.collector - 1);
    parts.push_back(loadPart(collector.name, collector.size));
    if (contents && contents->gasColour)
        tintGas(parts.back(), *contents->gasColour);
    arrange(parts);

    QRectF bounds;
    bool labelled = false;
    for (const Part &part : parts) {
        bounds |= QRectF(part.pos, part.size);
        labelled = labelled || (!part.label.isEmpty() && part.standsOnBench);
    }
    const QRect content = bounds.toAlignedRect();
    Composition c;
    c.drawing = drawAtNaturalSize(parts, content);

    // The reagents are named in a column left of the drawing, as in a textbook figure.
    const QFont font = labelFont();
    const QFontMetrics fm(font);
    auto plateWidth = [&](const QString &text) {
        return fm.horizontalAdvance(text) + 2 * kLabelPlatePadding;
    };
    int column = 0;
    for (const ReagentLabel &r : reagents)
        column = std::max(column, plateWidth(r.text) + kLeaderRoom);

    // Shrunk to fit if need be, centred across and standing on the bottom edge above the labels.
    const int band = labelled ? kLabelBand : 0;
    const QSize room(kSetupSize.width() - 2 * kMargin - column,
                     kSetupSize.height() - 2 * kMargin - band);
    if (c.drawing.width() > room.width() || c.drawing.height() > room.height())
        c.drawing = c.drawing.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const double scale = double(c.drawing.width()) / content.width();
    c.topLeft = QPoint((kSetupSize.width() - c.drawing.width() - column) / 2 + column,
                       kSetupSize.height() - kMargin - band - c.drawing.height());
    auto place = [&](QPointF natural) {
        return QPointF(c.topLeft) + (natural - QPointF(content.topLeft())) * scale;
    };

    for (const Part &part : parts) {
        if (part.label.isEmpty())
            continue;
        const double centre = place(part.pos + QPointF(part.size.width() / 2, 0)).x();
        const int width = plateWidth(part.label);
        // A part on the bench is named on the band below it; one hanging in the tube, just
        // under itself.
        const int top = part.standsOnBench
                            ? kSetupSize.height() - kMargin - band + 1
                            : qRound(place(part.pos + QPointF(0, part.size.height())).y()) + 2;
        QRect box(qRound(centre - width / 2.0), top, width, kLabelBand - 1);
        box.moveLeft(std::clamp(box.left(), 0, kSetupSize.width() - box.width()));
        c.labels.append({part.label, box, font, std::nullopt});
    }

    // Each plate level with what it names, top to bottom, pushed down where it would cover the
    // one above, and the plates lifted if that pushes it off the picture.
    std::stable_sort(
        reagents.begin(), reagents.end(),
        [](const ReagentLabel &a, const ReagentLabel &b) { return a.spot.y() < b.spot.y(); });
    const int right = c.topLeft.x() - kLeaderRoom;
    int nextTop = kMargin;
    QList<SetupLabel> plates;
    for (const ReagentLabel &r : reagents) {
        const QPoint spot = place(parts.front().pos + r.spot).toPoint();
        const int width = plateWidth(r.text);
        const int top = std::max(nextTop, spot.y() - kLabelBand / 2);
        plates.append({r.text, QRect(right - width, top, width, kLabelBand - 1), font, spot});
        nextTop = plates.last().box.bottom() + 3;
    }
    const int overflow =
        plates.isEmpty() ? 0 : plates.last().box.bottom() - (kSetupSize.height() - 1);
    for (SetupLabel &label : plates) {
        label.box.translate(0, -std::max(0, overflow));
        c.labels.append(label);
    }
    return c;
}

const Setup &setupNumbered(int n) {
    for (const Setup &setup : setups())
        if (setup.number == n)
            return setup;
    throw subscriptError("setupPicture", n, 1, int(setups().size()));
}

} // namespace

void drawLabel(QPainter &painter, const SetupLabel &label) {
    painter.save();
    // Lines and plates are drawn without anti-aliasing: every pixel stays opaque in the GIF.
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (label.pointsAt) {
        const QPoint from(label.box.right(), label.box.center().y());
        painter.setPen(QPen(kLeader, 1));
        painter.drawLine(from, *label.pointsAt);
        painter.setBrush(kLeader);
        painter.drawEllipse(QRect(*label.pointsAt - QPoint(1, 1), QSize(3, 3)));
    }
    painter.setPen(QPen(kLabelPlateEdge, 1));
    painter.setBrush(kLabelPlate);
    painter.drawRect(label.box.adjusted(0, 0, -1, -1));
    painter.setFont(label.font);
    painter.setPen(Qt::black);
    painter.drawText(label.box, Qt::AlignCenter, label.text);
    painter.restore();
}

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

QImage setupPicture(int n, const std::optional<SetupContents> &contents) {
    const Composition c = compose(setupNumbered(n), contents);
    QImage image(kSetupSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawImage(c.topLeft, c.drawing);
    // Labels are drawn at the final size so they stay sharp.
    for (const SetupLabel &label : c.labels)
        drawLabel(painter, label);
    return image;
}

QList<SetupLabel> setupLabels(int n, const std::optional<SetupContents> &contents) {
    return compose(setupNumbered(n), contents).labels;
}

SetupAnswers setupAnswers(int n) {
    const Setup &setup = setupNumbered(n);
    return {setup.generator, setup.collector};
}

QList<int> setupNumbers() {
    QList<int> numbers;
    for (const Setup &setup : setups())
        numbers.append(setup.number);
    return numbers;
}

bool drawnAsSolid(int reagent) {
    return lookOf(reagent).solid;
}

QSize setupPictureSize() {
    return kSetupSize;
}

} // namespace vaporica
