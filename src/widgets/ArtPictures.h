#pragma once

#include "widgets/ScalablePicture.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace vaporica {

// A piece of the screens' layout artwork (":/art/...", or a choice picture of the apparatus quiz,
// ":/apparatus/...") at its own size, the width and height its SVG source gives: the one place
// that states it. The build pre-renders every piece at that size.
QImage artPicture(const QString &resource);
// The piece at another pixel size, rendered from the SVG source.
QImage artPicture(const QString &resource, QSize size);
// The piece as a control shows it: its own pixels, drawn again from the SVG source on a screen
// with more device pixels.
ScalablePicture scalableArtPicture(const QString &resource);

// Every piece of the artwork there is, by resource name.
QStringList artResources();

// The design-time pictures of gas button n and reagent image n: the name plate in its normal
// look, as the material generator draws it, pre-rendered by the build with the same plate at
// twice the size.
PictureFile gasPlatePicture(int gas);
PictureFile reagentPlatePicture(int reagent);

// How many pictures artPicture has rendered from SVG so far: none, while every screen asks for
// its artwork at its own size.
int artPicturesRenderedFromSvg();

} // namespace vaporica
