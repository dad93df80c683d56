#include "assets/ArtResources.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace vaporica {

QImage artPicture(const QString &resource, QSize size) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    if (!QFile::exists(resource))
        return picture;
    QSvgRenderer renderer(resource);
    if (!renderer.isValid())
        return picture;
    QPainter painter(&picture);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return picture;
}

} // namespace vaporica
