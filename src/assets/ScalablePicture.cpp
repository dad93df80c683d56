#include "assets/ScalablePicture.h"

#include "assets/ArtPictures.h"

#include <QPaintEngine>
#include <QPainter>

namespace vaporica {

QImage ScalablePicture::forDevice(QSize target, qreal ratio) const {
    if (pixels_.isNull() || qFuzzyCompare(ratio, 1.0) || target.isEmpty())
        return pixels_;
    if (made_.isNull() || madeFor_ != target || !qFuzzyCompare(madeAt_, ratio)) {
        const QSize device = (QSizeF(target) * ratio).toSize();
        made_ = svgSource_.isEmpty()
                    ? pixels_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    : artPicture(svgSource_, device);
        made_.setDevicePixelRatio(ratio);
        madeFor_ = target;
        madeAt_ = ratio;
    }
    return made_;
}

void ScalablePicture::draw(QPainter &painter, const QRect &target) const {
    if (pixels_.isNull())
        return;
    // The device that receives the pixels: the window's backing store, or the picture a grab or a
    // render paints into, which may have a ratio of its own.
    const qreal ratio = painter.paintEngine()->paintDevice()->devicePixelRatioF();
    if (qFuzzyCompare(ratio, 1.0)) {
        // As the layout draws it: a picture at its own size unscaled, another size stretched.
        if (target.size() == pixels_.size())
            painter.drawImage(target.topLeft(), pixels_);
        else
            painter.drawImage(target, pixels_);
        return;
    }
    painter.drawImage(QRectF(target), forDevice(target.size(), ratio));
}

} // namespace vaporica
