#include "ApparatusArt.h"

#include "LabelPlacement.h"
#include "Plates.h"
#include "SetupCatalogue.h"
#include "base/Names.h"
#include "base/RuntimeError.h"
#include "base/SharedVariables.h"
#include "drawing/Fonts.h"
#include "drawing/SvgRender.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

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

// The colours and widths of the glass tubes drawn in the SVG sources, so joins do not show.
const QColor kTubeOutline(Qt::black);
const QColor kTubeGlass(0xe3, 0xf6, 0xfd);
constexpr double kTubeOuterWidth = 4.0;
constexpr double kTubeInnerWidth = 2.0;

// Room between two parts for the joining tube.
constexpr double kJoinGap = 26.0;
constexpr double kMinPartSpacing = 6.0;
// Between the drawing and the picture's edge.
constexpr int kMargin = 3;
// Labels are set bold on an opaque white plate: the picture's transparency is all-or-nothing in
// the GIF, and the thin anti-aliased strokes of words drawn on a transparent ground would vanish.
// At 17 px even katakana stand 14 px high, so 塩素酸 or 硫化鉄 stay apart at real size.
constexpr int kLabelPixelSize = 17;
constexpr int kLabelPlatePadding = 3;
const QColor kLabelPlate(Qt::white);
const QColor kLabelPlateEdge(150, 150, 150);
const QColor kLeader(60, 60, 60);
// The drawing is rendered this many times larger and scaled down to its place: every anchor lies
// on a whole pixel there, so the tubes' butt ends meet without a seam at any final size.
constexpr int kSupersample = 4;

// One drawing placed in a set-up, in unscaled coordinates with the bench at y = 0.
struct Part {
    QByteArray svg;
    QString source;
    QSizeF size;
    std::optional<QPointF> inlet;  // where the gas enters, in the part's own coordinates
    std::optional<QPointF> outlet; // where it leaves
    bool standsOnBench = true;     // otherwise it hangs in the tube at the height it is fed
    QByteArray overlaySvg;         // drawn over the part into overlayRect
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
    const QString source = apparatusResource(name);
    return loadPart(source, readSvg(source), size);
}

Part generatorPart(int n, bool thermometer) {
    const SvgFile &file = kGenerators.at(n - 1);
    if (!thermometer)
        return loadPart(file.name, file.size);
    Part part = loadPart(file.name, file.size);
    part.overlaySvg = readSvg(apparatusResource("thermometer.svg"));
    part.overlayRect = QSvgRenderer(part.svg).boundsOnElement(QStringLiteral("thermometer-slot"));
    return part;
}

// --- contents ---------------------------------------------------------------------------------

// The looks a reagent can be drawn with; the reagents' table chooses one for each reagent.
const QColor kWater(0xa9, 0xdd, 0xf6);
const QString kOilyAcid = QStringLiteral("油状の液体");

// The look the question's reagent r is drawn with.
ReagentLook lookOf(const SetupContents &contents, int r) {
    const QString &name = r == contents.reagent1 ? contents.look1 : contents.look2;
    if (const std::optional<ReagentLook> look = reagentLookNamed(name))
        return *look;
    throw RuntimeError(ErrorNumber::InvalidFileFormat,
                       QStringLiteral("薬品 %1（%2）の見た目 \"%3\" は知らない値です")
                           .arg(r)
                           .arg(reagentName(r), name),
                       QStringLiteral("reagents.tsv"));
}

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

// Where a generator holds its reagents, in the drawing's own coordinates: on the drawn solid, in
// the liquids and on the boiling chips, where a leader line ends.
// A leader line reaches each through the wall of its vessel, which lies within `reach` of every
// spot in that vessel.
struct Spots {
    std::optional<QPointF> funnel; // the liquid in the dropping funnel
    QPointF solid;                 // what lies on the bottom of the vessel
    QPointF liquid;                // the liquid in the vessel
    QPointF chips;                 // the boiling chips
    double reach;                  // the vessel's walls from its spots
};
constexpr double kFunnelReach = 16; // the funnel's round reservoir
Spots spotsOf(int generator) {
    switch (generator) {
    case 1:
        return {QPointF(30, 50), QPointF(17, 179), QPointF(52, 170), {}, 24};
    case 2:
        return {std::nullopt, QPointF(30, 114), QPointF(30, 114), {}, 14};
    case 3:
        return {std::nullopt, QPointF(30, 68), QPointF(30, 68), {}, 14};
    default:
        return {QPointF(50, 48), QPointF(71, 162), QPointF(82, 149), QPointF(74.5, 160), 30};
    }
}

Callout calloutFor(const QList<int> &reagents, QPointF spot, double reach, const QString &where) {
    QStringList names;
    for (int r : reagents)
        names << reagentName(r);
    const QString plus = QStringLiteral("＋");
    return {names.join(plus), names.join(QStringLiteral("\n") + plus), spot, reach, false, where};
}

QByteArray emptied(QByteArray svg, const QString &id) {
    return withAttributes(svg, id, {{QStringLiteral("fill"), QStringLiteral("none")}});
}

// A vessel holds only what the reaction has: a flask whose liquid waits in the dropping funnel
// holds the solid alone.
QByteArray withoutFlaskLiquid(const QByteArray &svg) {
    return withAttributes(emptied(svg, QStringLiteral("flask-liquid")),
                          QStringLiteral("flask-liquid-surface"),
                          {{QStringLiteral("stroke"), QStringLiteral("none")}});
}

// Draws the reagents into the generator and says where each one is named. Two solids lie mixed on
// the bottom of the vessel; a liquid waits in the dropping funnel when the vessel holds what it is
// let in on, a solid or the second of two liquids; other liquids are in the vessel, mixed. Each
// place gets one plate, so no two leader lines meet.
QList<Callout> fillGenerator(Part &generator, const Setup &setup, const SetupContents &contents) {
    const Spots spots = spotsOf(setup.generator);
    QList<int> reagents = {contents.reagent1};
    if (contents.reagent2 != contents.reagent1)
        reagents.append(contents.reagent2);
    QList<int> solids, liquids;
    for (int r : reagents)
        (lookOf(contents, r).solid ? solids : liquids).append(r);
    QList<int> dropped;
    if (spots.funnel && !liquids.isEmpty() && (!solids.isEmpty() || liquids.size() > 1))
        dropped.append(liquids.takeFirst());

    QByteArray &svg = generator.svg;
    if (!solids.isEmpty()) {
        const QColor main = lookOf(contents, solids.first()).colour;
        // Grains show a second solid mixed in, or the texture of a single one.
        const QColor grains = solids.size() > 1 ? lookOf(contents, solids[1]).colour
                                                : main.darker(main.lightness() > 200 ? 125 : 160);
        svg = filled(svg, QStringLiteral("solid"), main, true);
        svg = filled(svg, QStringLiteral("solid-grains"), grains);
    }
    svg = dropped.isEmpty() ? emptied(svg, QStringLiteral("funnel-liquid"))
                            : filled(svg, QStringLiteral("funnel-liquid"),
                                     lookOf(contents, dropped.first()).colour);
    svg = liquids.isEmpty() ? withoutFlaskLiquid(svg)
                            : filled(svg, QStringLiteral("flask-liquid"),
                                     lookOf(contents, liquids.first()).colour);
    if (setup.thermometer)
        svg = filled(svg, QStringLiteral("boiling-chips"), Qt::white, true);

    const QString vessel = vesselWord(setup.generator);
    const QString bottom = vessel + QStringLiteral("の底");
    QList<Callout> callouts;
    if (!solids.isEmpty())
        callouts.append(calloutFor(solids, spots.solid, spots.reach, bottom));
    if (!dropped.isEmpty())
        callouts.append(
            calloutFor(dropped, *spots.funnel, kFunnelReach, QStringLiteral("滴下ろうと")));
    if (!liquids.isEmpty())
        callouts.append(calloutFor(liquids, solids.isEmpty() ? spots.liquid : spots.solid,
                                   spots.reach, vessel));
    if (setup.thermometer)
        callouts.append({QStringLiteral("沸騰石"), QStringLiteral("沸騰石"), spots.chips,
                         spots.reach, false, bottom});
    return callouts;
}

// A plain set-up shows the generic solid under the funnel's liquid, and the chips it needs.
void fillPlainGenerator(Part &generator, const Setup &setup) {
    if (setup.generator == 1)
        generator.svg = withoutFlaskLiquid(generator.svg);
    if (setup.thermometer)
        generator.svg = filled(generator.svg, QStringLiteral("boiling-chips"), Qt::white, true);
}

// A coloured gas fills the collecting jar from the bottom, as it is collected.
void tintGas(Part &collector, const QColor &gas) {
    const QColor glass = kTubeGlass;
    const QColor tint((gas.red() + glass.red()) / 2, (gas.green() + glass.green()) / 2,
                      (gas.blue() + glass.blue()) / 2);
    collector.svg = filled(collector.svg, QStringLiteral("gas"), tint);
}

// The vessel and what it is for, named at its contents. Chlorine passes the water first, which
// takes out the hydrogen chloride; the acid that dries it comes last, or the water would wet it
// again.
std::pair<Part, Callout> vesselPart(Vessel vessel) {
    switch (vessel) {
    case Vessel::WaterWash: {
        Part part = loadPart("wash-bottle.svg");
        part.svg = filled(part.svg, QStringLiteral("liquid"), kWater);
        return {part,
                {QStringLiteral("水（HClを除く）"), QStringLiteral("水\n（HClを除く）"),
                 QPointF(42, 67), 40, true, QStringLiteral("洗気びん")}};
    }
    case Vessel::AcidWash: {
        Part part = loadPart("wash-bottle.svg");
        part.svg = filled(part.svg, QStringLiteral("liquid"), reagentLookNamed(kOilyAcid)->colour);
        return {part,
                {QStringLiteral("濃硫酸（乾燥）"), QStringLiteral("濃硫酸\n（乾燥）"),
                 QPointF(42, 67), 40, true, QStringLiteral("洗気びん")}};
    }
    case Vessel::SodaLime: {
        Part part = loadPart("drying-tube.svg");
        part.standsOnBench = false;
        return {part,
                {QStringLiteral("ソーダ石灰（乾燥）"), QStringLiteral("ソーダ石灰\n（乾燥）"),
                 QPointF(42, 15), 12, false, QStringLiteral("乾燥管")}};
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

// Draws the parts, with or without their joining tubes, `factor` times their natural size.
QImage drawParts(const std::vector<Part> &parts, const QRect &content, int factor, bool tubes) {
    QImage canvas(content.size() * factor, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(factor, factor);
    painter.translate(-content.topLeft());
    for (const Part &part : parts) {
        drawSvg(painter, part.svg, QRectF(part.pos, part.size));
        if (!part.overlaySvg.isEmpty())
            drawSvg(painter, part.overlaySvg, part.overlayRect.translated(part.pos));
    }
    for (std::size_t i = 0; tubes && i + 1 < parts.size(); ++i) {
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

struct Composition {
    QImage drawing; // at its final size
    QImage large;   // the same, drawn at kSupersample times the natural size
    QPoint topLeft;
    QList<SetupLabel> labels;
};

// The drawing as large as the picture allows with every name on a plate of its own in free room,
// each with a leader line to what it names.
Composition compose(const Setup &setup, const std::optional<SetupContents> &contents) {
    std::vector<Part> parts;
    parts.push_back(generatorPart(setup.generator, setup.thermometer));
    QList<Callout> callouts;
    if (contents)
        callouts = fillGenerator(parts.front(), setup, *contents);
    else
        fillPlainGenerator(parts.front(), setup);
    QList<std::pair<std::size_t, Callout>> vessels;
    for (Vessel vessel : setup.between) {
        auto [part, callout] = vesselPart(vessel);
        parts.push_back(part);
        vessels.append({parts.size() - 1, callout});
    }
    const SvgFile &collector = kCollectors.at(setup.collector - 1);
    parts.push_back(loadPart(collector.name, collector.size));
    if (contents && contents->gasColour)
        tintGas(parts.back(), *contents->gasColour);
    arrange(parts);
    for (Callout &c : callouts)
        c.spot += parts.front().pos;
    for (auto &[index, callout] : vessels) {
        callout.spot += parts[index].pos;
        callouts.append(callout);
    }
    const std::optional<QRect> keepClear = contents ? contents->keepClear : std::nullopt;

    QRectF bounds;
    for (const Part &part : parts)
        bounds |= QRectF(part.pos, part.size);
    const QRect content = bounds.toAlignedRect();
    const QImage large = drawParts(parts, content, kSupersample, true);
    // What a leader line must not cross: the parts without their joining tubes, which it may
    // cross, and without the surfaces of liquids, which it passes to point into one.
    std::vector<Part> obstacles = parts;
    for (Part &part : obstacles)
        for (const char *surface : {"flask-liquid-surface", "liquid-surface"})
            part.svg = withAttributes(part.svg, QString::fromLatin1(surface),
                                      {{QStringLiteral("stroke"), QStringLiteral("none")}});
    const QImage largeParts = drawParts(obstacles, content, kSupersample, false);

    const QSize room = kSetupSize - QSize(2 * kMargin, 2 * kMargin);
    const PlateStyle plates{minchoPixelFont(kLabelPixelSize, true), kLabelPlatePadding};
    const auto drawnAt = [&](const QImage &image, double scale) {
        return image.scaled(qRound(content.width() * scale), qRound(content.height() * scale),
                            Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    // Standing on the bottom edge, else raised to the top to free a band under it; in the middle,
    // or to one side to leave the other free.
    const auto tryScale = [&](double scale) -> std::optional<Composition> {
        const QImage drawing = drawnAt(large, scale);
        const QImage partsOnly = drawnAt(largeParts, scale);
        const QSize spare = room - drawing.size();
        for (int top : {kMargin + spare.height(), kMargin})
            for (int left : {kMargin + spare.width() / 2, kMargin, kMargin + spare.width()}) {
                const QPoint at(left, top);
                const PlacedDrawing placed{.picture = kSetupSize,
                                           .image = drawing,
                                           .parts = partsOnly,
                                           .at = at,
                                           .scale = scale,
                                           .origin = QPointF(content.topLeft())};
                if (const auto labels = placeLabels(placed, callouts, keepClear, plates))
                    return Composition{drawing, large, at, *labels};
            }
        return std::nullopt;
    };
    // The largest scale at which every name finds room; a smaller drawing is not always easier
    // to label, as its parts crowd together, so each step down is tried in turn.
    const double largest = std::min(
        {double(room.width()) / content.width(), double(room.height()) / content.height(), 2.0});
    for (double scale = largest; scale >= 0.4; scale *= 0.96)
        if (auto found = tryScale(scale))
            return *found;
    throw std::runtime_error(
        QStringLiteral("装置図 %1 に名前を置く場所がありません").arg(setup.number).toStdString());
}

} // namespace

QString vesselWord(int generator) {
    return generatorVessel(generator);
}

void drawLabel(QPainter &painter, const SetupLabel &label) {
    painter.save();
    // Lines and plates are drawn without anti-aliasing: every pixel stays opaque in the GIF.
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (label.pointsAt) {
        const QPoint from = leaderStart(label.box, *label.pointsAt);
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
    return renderSvgFile(apparatusResource(file.name), file.size);
}

QImage collectorPicture(int n) {
    if (n < 1 || n > int(kCollectors.size()))
        throw subscriptError("collectorPicture", n, 1, int(kCollectors.size()));
    const SvgFile &file = kCollectors.at(n - 1);
    return renderSvgFile(apparatusResource(file.name), file.size);
}

QImage setupPicture(int n, const std::optional<SetupContents> &contents, int scale) {
    const Composition c = compose(setupNumbered(n), contents);
    QImage image(kSetupSize * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale); // the painter draws in the picture's own pixels
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (scale == 1) {
        painter.drawImage(c.topLeft, c.drawing);
    } else {
        // The same place, from the supersampled drawing rather than the final one enlarged.
        QImage drawing = c.large.scaled(c.drawing.size() * scale, Qt::IgnoreAspectRatio,
                                        Qt::SmoothTransformation);
        drawing.setDevicePixelRatio(scale);
        painter.drawImage(c.topLeft, drawing);
    }
    // Labels are drawn at the final size so they stay sharp.
    for (const SetupLabel &label : c.labels)
        drawLabel(painter, label);
    return image;
}

QList<SetupLabel> setupLabels(int n, const std::optional<SetupContents> &contents) {
    return compose(setupNumbered(n), contents).labels;
}

QString setupWords(int n, const std::optional<SetupContents> &contents) {
    const Setup &setup = setupNumbered(n);
    QStringList words;
    switch (setup.generator) {
    case 1:
        words << QStringLiteral("三角フラスコに滴下ろうとを付けた発生装置（加熱しない）");
        break;
    case 2:
        words << QStringLiteral("スタンドに固定して口を少し上に向けた試験管を、ガスバーナーで加熱"
                                "する発生装置");
        break;
    case 3:
        words << QStringLiteral("口を少し下げて固定した試験管を、ガスバーナーで加熱する発生装置");
        break;
    default:
        words << QStringLiteral("金網にのせた丸底フラスコに滴下ろうとを付け、ガスバーナーで加熱"
                                "する発生装置") +
                     (setup.thermometer ? QStringLiteral("。温度計の球部は液体の中") : QString());
    }
    if (contents) {
        Part generator = generatorPart(setup.generator, setup.thermometer);
        QStringList held;
        for (const Callout &c : fillGenerator(generator, setup, *contents))
            held << c.where + QStringLiteral("に") +
                        QString(c.oneLine).replace(QStringLiteral("＋"), QStringLiteral("と"));
        words << held.join(QStringLiteral("、"));
    }
    QStringList passes;
    for (Vessel vessel : setup.between)
        switch (vessel) {
        case Vessel::WaterWash:
            passes << QStringLiteral("水を入れた洗気びん（HClを除く）");
            break;
        case Vessel::AcidWash:
            passes << QStringLiteral("濃硫酸を入れた洗気びん（乾燥する）");
            break;
        case Vessel::SodaLime:
            passes << QStringLiteral("ソーダ石灰を詰めた乾燥管（乾燥する）");
            break;
        }
    if (!passes.isEmpty())
        words << QStringLiteral("気体は") + passes.join(QStringLiteral("、")) +
                     (passes.size() > 1 ? QStringLiteral("の順に通る") : QStringLiteral("を通る"));
    if (setup.between.size() > 1 && setup.between.back() == Vessel::AcidWash)
        words << QStringLiteral("水を先に通すのは、乾かした気体を水で再び湿らせないため");
    switch (setup.collector) {
    case 1:
        words << QStringLiteral("下方置換：口を上にした集気びんの底近くまでガラス管を入れて集める");
        break;
    case 2:
        words << QStringLiteral("上方置換：口を下にした集気びんの奥までガラス管を入れて集める");
        break;
    default:
        words << QStringLiteral("水上置換：水を満たして水槽に逆さに立てた集気びんに、水中のガラス管"
                                "の先から気体を入れて集める");
    }
    return words.join(QStringLiteral("。")) + QStringLiteral("。");
}

const QList<ReagentLook> &reagentLooks() {
    static const QList<ReagentLook> looks = {
        {QStringLiteral("白い粉"), true, QColor(0xf6, 0xf6, 0xf2)},
        {QStringLiteral("灰色の粒"), true, QColor(0xa9, 0xae, 0xb4)},         // zinc granules
        {QStringLiteral("灰色の塊"), true, QColor(0x6a, 0x6a, 0x72)},         // calcium carbide
        {QStringLiteral("赤茶色の削りくず"), true, QColor(0xc4, 0x6a, 0x2c)}, // copper turnings
        {QStringLiteral("黒い粉"), true, QColor(0x1c, 0x1c, 0x1c)},           // manganese dioxide
        {QStringLiteral("黒っぽい塊"), true, QColor(0x3a, 0x36, 0x32)},       // iron(II) sulfide
        {QStringLiteral("無色の液体"), false, QColor(0x8e, 0xd0, 0xf0)},
        {kOilyAcid, false, QColor(0xf0, 0xe2, 0xb0)}, // conc. sulfuric acid, yellowish
        {QStringLiteral("水"), false, kWater},
    };
    return looks;
}

std::optional<ReagentLook> reagentLookNamed(const QString &name) {
    for (const ReagentLook &look : reagentLooks())
        if (look.name == name)
            return look;
    return std::nullopt;
}

QSize setupPictureSize() {
    return kSetupSize;
}

} // namespace vaporica
