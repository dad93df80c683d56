#include "widgets/ArtPictures.h"

#include "base/Names.h"
#include "base/RuntimeError.h"
#include "drawing/PrerenderedPicture.h"
#include "drawing/SvgRender.h"

#include <QDirIterator>
#include <QSvgRenderer>

// A static library's resources are linked only when something refers to them; the macros must
// stand outside any namespace.
static void registerArtResources() {
    Q_INIT_RESOURCE(art);
    Q_INIT_RESOURCE(prerendered_art);
    Q_INIT_RESOURCE(apparatus);
}

namespace vaporica {

namespace {

int renderedFromSvg = 0;

QImage stored(const QString &resource) {
    static const bool registered = (registerArtResources(), true);
    (void)registered;
    return prerenderedPicture(resource);
}

QImage renderedFromSource(const QString &resource, QSize size) {
    ++renderedFromSvg;
    return renderSvgFile(resource, size);
}

// A picture the build must have stored; without it the build itself is broken.
QImage storedPlate(const QString &resource) {
    QImage image = stored(resource);
    if (image.isNull())
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("ファイルが見つかりません"),
                           resource);
    return image;
}

} // namespace

QImage artPicture(const QString &resource, QSize size) {
    QImage image = stored(resource);
    if (!image.isNull() && image.size() == size)
        return image;
    return renderedFromSource(resource, size);
}

QImage artPicture(const QString &resource) {
    QImage image = stored(resource);
    if (!image.isNull())
        return image;
    return renderedFromSource(resource, QSvgRenderer(resource).defaultSize());
}

ScalablePicture scalableArtPicture(const QString &resource) {
    return {artPicture(resource), resource};
}

QStringList artResources() {
    stored(QString()); // the resources are registered with the first look-up
    QStringList resources;
    for (const QString &root : {QStringLiteral(":/art"), QStringLiteral(":/apparatus")})
        for (QDirIterator it(root, {QStringLiteral("*.svg")}, QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            resources << it.next();
    resources.sort();
    return resources;
}

PictureFile gasPlatePicture(int gas) {
    gasName(gas); // an unknown gas is a subscript error, as everywhere
    return {storedPlate(gasPlateResource(gas)), storedPlate(gasPlateResource(gas, 2))};
}

PictureFile reagentPlatePicture(int reagent) {
    reagentName(reagent);
    return {storedPlate(reagentPlateResource(reagent)),
            storedPlate(reagentPlateResource(reagent, 2))};
}

int artPicturesRenderedFromSvg() {
    return renderedFromSvg;
}

} // namespace vaporica
