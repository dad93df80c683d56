#include "LabelPlacement.h"

#include <QFontMetrics>
#include <QLineF>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vaporica {
namespace {

QSize plateSize(const QString &text, const PlateStyle &style) {
    const QFontMetrics fm(style.font);
    int width = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines)
        width = std::max(width, fm.horizontalAdvance(line));
    return QSize(width + 2 * style.padding, int(lines.size()) * fm.height() + 4);
}

bool segmentsCross(QPointF a, QPointF b, QPointF c, QPointF d) {
    const auto side = [](QPointF p, QPointF q, QPointF r) {
        const double v = (q.x() - p.x()) * (r.y() - p.y()) - (q.y() - p.y()) * (r.x() - p.x());
        return (v > 0) - (v < 0);
    };
    return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
}

bool segmentMeetsRect(QPointF a, QPointF b, const QRect &r) {
    const QRectF box(r);
    if (box.contains(a) || box.contains(b))
        return true;
    const QPointF corners[] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
    for (int i = 0; i < 4; ++i)
        if (segmentsCross(a, b, corners[i], corners[(i + 1) % 4]))
            return true;
    return false;
}

// The picture's free room for the plates: what the drawing covers, the place a screen writes over,
// and the plates and leader lines set so far.
class Room {
public:
    // `parts` is the drawing without its joining tubes: a leader line may cross a thin tube.
    Room(QSize picture, const QImage &drawing, const QImage &parts, QPoint at,
         const std::optional<QRect> &keepClear)
        : keepClear_(keepClear), width_(picture.width()), height_(picture.height()),
          ink_((width_ + 1) * (height_ + 1), 0), dark_(width_ * height_, false) {
        for (int y = 0; y < height_; ++y) {
            int row = 0;
            for (int x = 0; x < width_; ++x) {
                const QPoint p = QPoint(x, y) - at;
                const bool inside = drawing.rect().contains(p);
                const QRgb c = inside ? drawing.pixel(p) : 0;
                const QRgb part = inside ? parts.pixel(p) : 0;
                row += qAlpha(c) > 48;
                ink_[(y + 1) * (width_ + 1) + x + 1] = ink_[y * (width_ + 1) + x + 1] + row;
                // Outlines, stands, burners and stoppers, which a leader line should not cross;
                // glass and liquids are pale.
                dark_[y * width_ + x] = qAlpha(part) > 128 && qGray(qUnpremultiply(part)) < 170;
            }
        }
    }

    // Inside the picture, clear of the drawing by two pixels, of the kept place and of the plates.
    bool isFree(const QRect &box) const {
        if (!QRect(1, 1, width_ - 2, height_ - 2).contains(box))
            return false;
        if (keepClear_ && keepClear_->intersects(box))
            return false;
        if (inkIn(box.adjusted(-2, -2, 2, 2)) > 0)
            return false;
        for (const Set &set : set_)
            if (set.box.adjusted(-3, -3, 3, 3).intersects(box))
                return false;
        return true;
    }

    // A leader line from a plate to its spot may cross the outline of the vessel it points into,
    // but neither another part, nor a plate, nor another leader line.
    bool leaderFits(QPoint from, QPoint spot, double reach, bool fromBelow) const {
        if (!fromBelow && from.y() > spot.y() + 4)
            return false;
        for (const Set &set : set_)
            if (segmentMeetsRect(from, spot, set.box.adjusted(-1, -1, 1, 1)) ||
                segmentsCross(from, spot, set.from, set.spot))
                return false;
        return strokesCrossed(from, spot, reach);
    }

    bool drawingClearOfKept() const { return !keepClear_ || inkIn(*keepClear_) == 0; }

    void set(const QRect &box, QPoint from, QPoint spot) { set_.append({box, from, spot}); }

private:
    struct Set {
        QRect box;
        QPoint from, spot;
    };

    int inkIn(const QRect &r) const {
        const QRect c = r.intersected(QRect(0, 0, width_, height_));
        if (c.isEmpty())
            return 0;
        const auto at = [&](int x, int y) { return ink_[y * (width_ + 1) + x]; };
        return at(c.right() + 1, c.bottom() + 1) - at(c.left(), c.bottom() + 1) -
               at(c.right() + 1, c.top()) + at(c.left(), c.top());
    }

    // Whether the line crosses at most one dark stroke on its way, within `reach` of the spot: the
    // wall of the vessel it points into. What lies right at the spot is what it names.
    bool strokesCrossed(QPoint from, QPoint spot, double reach) const {
        const QLineF line(from, spot);
        const int steps = int(std::ceil(line.length() * 2));
        int strokes = 0;
        bool inStroke = false;
        for (int i = 0; i <= steps; ++i) {
            const QPointF p = line.pointAt(steps ? double(i) / steps : 0.0);
            const double left = QLineF(p, spot).length();
            if (left < 6)
                break;
            const int x = qRound(p.x()), y = qRound(p.y());
            const bool dark =
                x >= 0 && y >= 0 && x < width_ && y < height_ && dark_[y * width_ + x];
            if (dark && !inStroke && (left > reach || ++strokes > 1))
                return false;
            inStroke = dark;
        }
        return true;
    }

    std::optional<QRect> keepClear_;
    int width_, height_;
    std::vector<int> ink_; // summed-area table of the drawing's pixels
    std::vector<bool> dark_;
    QList<Set> set_;
};

// The plate for one callout closest to its spot in free room, tried around the spot at growing
// distances; nothing when there is no room.
std::optional<SetupLabel> placeCallout(Room &room, const Callout &callout, QPoint spot,
                                       double reach, const PlateStyle &style) {
    std::optional<SetupLabel> best;
    double bestCost = 0;
    for (const QString &text : {callout.oneLine, callout.twoLines}) {
        const QSize size = plateSize(text, style);
        for (int distance : {6, 10, 15, 21, 28, 36, 46, 58, 72, 88, 106, 126, 150}) {
            for (int step = 0; step < 24; ++step) {
                const double angle = step * M_PI / 12;
                const QPoint a =
                    spot +
                    QPointF(distance * std::cos(angle), distance * std::sin(angle)).toPoint();
                QRect box(QPoint(0, 0), size);
                if (std::abs(std::cos(angle)) >= 0.5) {
                    box.moveCenter(a);
                    if (std::cos(angle) > 0)
                        box.moveLeft(a.x() + 1);
                    else
                        box.moveRight(a.x() - 1);
                } else {
                    box.moveCenter(a);
                    if (std::sin(angle) > 0)
                        box.moveTop(a.y() + 1);
                    else
                        box.moveBottom(a.y() - 1);
                }
                if (!room.isFree(box))
                    continue;
                const QPoint from = leaderStart(box, spot);
                if (!room.leaderFits(from, spot, reach, callout.fromBelow))
                    continue;
                // Short leaders first; a second line only where it saves much.
                const double cost =
                    QLineF(from, spot).length() + (text == callout.oneLine ? 0 : 25);
                if (!best || cost < bestCost) {
                    best = SetupLabel{text, box, style.font, spot};
                    bestCost = cost;
                }
            }
            if (best)
                break; // nothing farther can be shorter by much
        }
    }
    if (best)
        room.set(best->box, leaderStart(best->box, spot), spot);
    return best;
}

} // namespace

// Where a plate's leader line leaves it: the middle of the side that faces the spot.
QPoint leaderStart(const QRect &box, QPoint spot) {
    if (spot.x() > box.right())
        return QPoint(box.right(), box.center().y());
    if (spot.x() < box.left())
        return QPoint(box.left(), box.center().y());
    return QPoint(box.center().x(), spot.y() < box.top() ? box.top() : box.bottom());
}

std::optional<QList<SetupLabel>> placeLabels(const PlacedDrawing &drawing,
                                             const QList<Callout> &callouts,
                                             const std::optional<QRect> &keepClear,
                                             const PlateStyle &style) {
    Room clear(drawing.picture, drawing.image, drawing.parts, drawing.at, keepClear);
    if (!clear.drawingClearOfKept())
        return std::nullopt;
    QList<int> order;
    for (int i = 0; i < callouts.size(); ++i)
        order.append(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return callouts[a].spot.y() < callouts[b].spot.y(); });
    const QList<int> first = order;
    do {
        Room room = clear;
        QList<std::optional<SetupLabel>> placed(callouts.size());
        bool all = true;
        for (int i : order) {
            const QPoint spot =
                (QPointF(drawing.at) + (callouts[i].spot - drawing.origin) * drawing.scale)
                    .toPoint();
            placed[i] =
                placeCallout(room, callouts[i], spot, callouts[i].reach * drawing.scale, style);
            all = all && placed[i].has_value();
            if (!all)
                break;
        }
        if (all) {
            QList<SetupLabel> labels;
            for (const auto &label : placed)
                labels.append(*label);
            return labels;
        }
        std::next_permutation(order.begin(), order.end());
    } while (order != first);
    return std::nullopt;
}

} // namespace vaporica
