#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>

class QPainter;

namespace vaporica {

// The choice pictures of the apparatus quiz, each at its own fixed size: generators 1..4 and
// collection methods 1..3, numbered as the quiz numbers its choices. A number outside the range
// is a subscript error.
QImage generatorPicture(int n);
QImage collectorPicture(int n);

// Complete set-up n: the generator joined by its delivery tube to the collector, with any washing
// or drying vessel in between. Every set-up picture has setupPictureSize().
QImage setupPicture(int n);

// The words in set-up n: each on an opaque plate at box, set in font.
struct SetupLabel {
    QString text;
    QRect box;
    QFont font;
};
QList<SetupLabel> setupLabels(int n);
void drawLabel(QPainter &painter, const SetupLabel &label);
QList<int> setupNumbers();
QSize setupPictureSize();

} // namespace vaporica
