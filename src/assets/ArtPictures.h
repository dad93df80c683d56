#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace vaporica {

// A piece of the screens' layout artwork (":/art/..."), at exactly its pixel size. The build
// pre-renders every piece at its own size; any other size is rendered from the SVG source.
QImage artPicture(const QString &resource, QSize size);

// How many pictures artPicture has rendered from SVG so far: none, while every screen asks for
// its artwork at the size it was drawn for.
int artPicturesRenderedFromSvg();

} // namespace vaporica
