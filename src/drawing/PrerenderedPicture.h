#pragma once

// Pictures rendered at build time and packed, uncompressed, into the program. Resource ":/X" is
// stored as ":/prerendered-art/X": its width and height, then its raw premultiplied ARGB32 rows.
// The build tool that writes them and the program that reads them share this one format.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vaporica {

inline constexpr char PrerenderedPrefix[] = "/prerendered-art";

// What the build stores for one picture.
QByteArray prerenderedBytes(const QImage &picture);

// The stored picture of a resource such as ":/art/menu/background.svg", at the size it was
// rendered at; a null image when the build stored none.
QImage prerenderedPicture(const QString &resource);

// The names under which the build stores the design-time name plates, at `scale` 2 the plate
// drawn at twice the size for a denser screen.
QString gasPlateResource(int gas, int scale = 1);
QString reagentPlateResource(int reagent, int scale = 1);

} // namespace vaporica
