#pragma once

#include <QImage>
#include <QList>
#include <QSize>

namespace vaporica {

// The choice pictures of the apparatus quiz, each at its own fixed size: generators 1..4 and
// collection methods 1..3, numbered as the quiz numbers its choices. A number outside the range
// is a subscript error.
QImage generatorPicture(int n);
QImage collectorPicture(int n);

// Complete set-up n: the generator joined by its delivery tube to the collector, with any washing
// or drying vessel in between. Every set-up picture has setupPictureSize().
QImage setupPicture(int n);
QList<int> setupNumbers();
QSize setupPictureSize();

} // namespace vaporica
