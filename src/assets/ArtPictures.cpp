#include "assets/ArtPictures.h"

#include "assets/SvgRender.h"

#include <QResource>
#include <cstdint>

// A static library's resources are linked only when something refers to them; the macros must
// stand outside any namespace.
static void registerArtResources() {
    Q_INIT_RESOURCE(art);
    Q_INIT_RESOURCE(prerendered_art);
}

namespace vaporica {

namespace {

int renderedFromSvg = 0;

// ":/art/menu/background.svg" at 650 x 419 is ":/prerendered-art/menu/background.svg@650x419":
// raw premultiplied ARGB32 rows, stored uncompressed.
QImage prerendered(const QString &resource, QSize size) {
    const QString prefix = QStringLiteral(":/art/");
    if (!resource.startsWith(prefix))
        return {};
    const QResource pixels(QStringLiteral(":/prerendered-art/%1@%2x%3")
                               .arg(resource.mid(prefix.size()))
                               .arg(size.width())
                               .arg(size.height()));
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    if (!pixels.isValid() || pixels.compressionAlgorithm() != QResource::NoCompression ||
        pixels.size() != bytes)
        return {};
    const QImage image(pixels.data(), size.width(), size.height(), size.width() * 4,
                       QImage::Format_ARGB32_Premultiplied);
    // The image reads the program's own bytes in place; rows that are not word-aligned get a
    // copy, as QImage expects aligned rows.
    if (reinterpret_cast<std::uintptr_t>(pixels.data()) % 4 != 0)
        return image.copy();
    return image;
}

} // namespace

QImage artPicture(const QString &resource, QSize size) {
    static const bool registered = (registerArtResources(), true);
    (void)registered;
    QImage image = prerendered(resource, size);
    if (!image.isNull())
        return image;
    ++renderedFromSvg;
    return renderSvgFile(resource, size);
}

int artPicturesRenderedFromSvg() {
    return renderedFromSvg;
}

} // namespace vaporica
