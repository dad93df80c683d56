#pragma once

#include "ApparatusArt.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace vaporica {

// A name set on the picture and the place in the drawing its leader line points to. The words go
// on one line, or on two where one line would make a long plate.
struct Callout {
    QString oneLine;
    QString twoLines;
    QPointF spot; // in the part's coordinates, then in the set-up's
    double reach; // the wall of the vessel it lies in, from the spot; the line crosses no other
    // A vessel standing on the bench may be named from below; a generator's contents never are,
    // as the line would come through the burner, the gauze or the stand's foot.
    bool fromBelow = false;
    QString where; // in words: 滴下ろうと, 試験管の底, …
};

// How a plate is set: the font of its words and the room between them and the plate's edge.
struct PlateStyle {
    QFont font;
    int padding;
};

// The drawing where it lies in a picture of size `picture`: at its final size, and the same
// without its joining tubes, which a leader line may cross. A callout's spot s in the set-up's
// coordinates lies at at + (s - origin) * scale.
struct PlacedDrawing {
    QSize picture;
    QImage image;
    QImage parts;
    QPoint at;
    double scale;
    QPointF origin;
};

// Every callout placed on a plate of its own in the picture's free room, clear of the drawing and
// of keepClear, with a leader line to its spot; or nothing when one of them finds no room. The
// callouts are placed top to bottom, and in every other order when that fails.
std::optional<QList<SetupLabel>> placeLabels(const PlacedDrawing &drawing,
                                             const QList<Callout> &callouts,
                                             const std::optional<QRect> &keepClear,
                                             const PlateStyle &style);

// Where a plate's leader line leaves it: the middle of the side that faces the spot.
QPoint leaderStart(const QRect &box, QPoint spot);

} // namespace vaporica
