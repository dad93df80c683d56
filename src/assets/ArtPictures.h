#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace vaporica {

// A piece of the screens' layout artwork (":/art/...", or a choice picture of the apparatus quiz,
// ":/apparatus/..."), at exactly its pixel size. The build pre-renders every piece at its own size;
// any other size is rendered from the SVG source.
QImage artPicture(const QString &resource, QSize size);
// The piece at its own size, as the build pre-rendered it.
QImage artPicture(const QString &resource);

// The design-time pictures of gas button n and reagent image n: the name plate in its normal
// look, as the material generator draws it, pre-rendered by the build.
QImage gasPlatePicture(int gas);
QImage reagentPlatePicture(int reagent);

// How many pictures artPicture has rendered from SVG so far: none, while every screen asks for
// its artwork at the size it was drawn for.
int artPicturesRenderedFromSvg();

} // namespace vaporica
