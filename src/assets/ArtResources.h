#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace vaporica {

// Renders a layout picture compiled in as an SVG resource at exactly the given pixel size, on a
// transparent background. A resource that is not there gives a transparent picture of that size,
// so a screen whose artwork is still to be drawn keeps its layout.
QImage artPicture(const QString &resource, QSize size);

} // namespace vaporica
