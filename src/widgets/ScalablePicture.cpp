#include "widgets/ScalablePicture.h"

#include "widgets/ArtPictures.h"

#include <QApplication>
#include <QCache>
#include <QEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace vaporica {

namespace {

QSize deviceSize(QSize target, qreal ratio) {
    return (QSizeF(target) * ratio).toSize();
}

QImage smoothlyScaled(const QImage &pixels, QSize target, qreal ratio) {
    QImage image =
        pixels.scaled(deviceSize(target, ratio), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(ratio);
    return image;
}

// Artwork rendered for a device is kept for the next screen that shows it: the largest
// backgrounds take tens of milliseconds to render at twice their size, far longer than building
// a screen. At twice the size all the artwork together is about 20 MB.
constexpr qsizetype KeptArtBytes = 32 * 1024 * 1024;

QCache<QString, QImage> &keptArt() {
    static QCache<QString, QImage> kept(KeptArtBytes);
    return kept;
}

QImage renderedArt(const QString &resource, QSize target, qreal ratio) {
    QCache<QString, QImage> &kept = keptArt();
    const QSize device = deviceSize(target, ratio);
    const QString key = QStringLiteral("%1 %2x%3 %4")
                            .arg(resource)
                            .arg(device.width())
                            .arg(device.height())
                            .arg(ratio);
    if (const QImage *image = kept.object(key))
        return *image;
    QImage image = artPicture(resource, device);
    image.setDevicePixelRatio(ratio);
    kept.insert(key, new QImage(image), image.sizeInBytes());
    return image;
}

// What a painter can show of its device: the widget's part of its window, or the whole device.
QRect visibleArea(QPainter &painter) {
    QRect area = painter.window();
    if (const auto *widget = dynamic_cast<const QWidget *>(painter.device())) {
        const QPoint offset = widget->mapTo(widget->window(), QPoint(0, 0));
        area &= widget->window()->rect().translated(-offset);
    }
    return area;
}

// The pixels behind `part` of a picture stretched over `target`.
QRect sourceOf(const QImage &pixels, QSize target, const QRect &part) {
    const qreal sx = qreal(pixels.width()) / target.width();
    const qreal sy = qreal(pixels.height()) / target.height();
    return QRectF(part.x() * sx, part.y() * sy, part.width() * sx, part.height() * sy)
        .toAlignedRect()
        .intersected(pixels.rect());
}

// The pieces in the order they are prepared: what the menu's buttons lead to first. The build
// fixes them, so they are listed once.
const QStringList &piecesToPrepare() {
    static const QStringList pieces = [] {
        QStringList pieces = artResources();
        const QString first = QStringLiteral(":/art/gasquiz/background.svg");
        if (pieces.removeOne(first))
            pieces.prepend(first);
        return pieces;
    }();
    return pieces;
}

void preparePiece(const QString &resource, qreal ratio) {
    renderedArt(resource, artPicture(resource).size(), ratio);
}

int preparations = 0; // under way or waiting for their window's first paint

// Renders the pieces one per idle moment after the window's first paint.
class IdlePreparation : public QObject {
public:
    IdlePreparation(QWidget *window, bool artwork, const QList<std::function<void()>> &more)
        : QObject(qApp), window_(window), artwork_(artwork), more_(more) {
        ++preparations;
        window->installEventFilter(this);
        timer_.setInterval(0);
        connect(&timer_, &QTimer::timeout, this, [this] { next(); });
        // A window closed before it painted leaves nothing to prepare for.
        connect(window, &QObject::destroyed, this, [this] {
            if (!timer_.isActive())
                deleteLater();
        });
    }
    ~IdlePreparation() override { --preparations; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && watched == window_ && !timer_.isActive()) {
            window_->removeEventFilter(this);
            ratio_ = window_->devicePixelRatioF();
            if (qFuzzyCompare(ratio_, 1.0)) {
                deleteLater();
            } else {
                if (artwork_)
                    for (const QString &piece : piecesToPrepare())
                        jobs_.append([piece, ratio = ratio_] { preparePiece(piece, ratio); });
                jobs_ += more_;
                timer_.start();
            }
        }
        return false;
    }

private:
    void next() {
        if (jobs_.isEmpty()) {
            timer_.stop();
            deleteLater();
            return;
        }
        jobs_.takeFirst()();
    }

    QPointer<QWidget> window_;
    bool artwork_;
    QTimer timer_;
    QList<std::function<void()>> more_, jobs_;
    qreal ratio_ = 1.0;
};

} // namespace

void prepareArtwork(qreal ratio) {
    if (qFuzzyCompare(ratio, 1.0))
        return;
    for (const QString &resource : piecesToPrepare())
        preparePiece(resource, ratio);
}

void prepareArtworkOnceShown(QWidget *window, const QList<std::function<void()>> &more) {
    if (window)
        new IdlePreparation(window, true, more);
}

void prepareOnceShown(QWidget *window, const QList<std::function<void()>> &jobs) {
    if (window)
        new IdlePreparation(window, false, jobs);
}

bool preparingArtwork() {
    return preparations > 0;
}

void forgetRenderedArtwork() {
    keptArt().clear();
    forgetKeptDoubles();
}

ScalablePicture ScalablePicture::part(const QRect &rect) const {
    ScalablePicture part(pixels_.copy(rect));
    if (!doubled_.isNull())
        part.doubled_ = doubled_.copy(QRect(rect.topLeft() * 2, rect.size() * 2));
    return part;
}

QImage ScalablePicture::forDevice(QSize target, qreal ratio) const {
    if (pixels_.isNull() || qFuzzyCompare(ratio, 1.0) || target.isEmpty())
        return pixels_;
    if (made_.isNull() || madeFor_ != target || madeOf_ != QRect(QPoint(0, 0), target) ||
        !qFuzzyCompare(madeAt_, ratio)) {
        made_ = svgSource_.isEmpty() ? smoothlyScaled(densest(), target, ratio)
                                     : renderedArt(svgSource_, target, ratio);
        madeFor_ = target;
        madeOf_ = QRect(QPoint(0, 0), target);
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
    const QRect shown = target & visibleArea(painter);
    if (!svgSource_.isEmpty() || shown == target || target.isEmpty()) {
        painter.drawImage(QRectF(target), forDevice(target.size(), ratio));
        return;
    }
    // A data picture larger than what its control shows is scaled only where it is seen: a plate
    // of 2048 pixels a side would cost 64 MB at twice the size, for a few hundred pixels shown.
    if (shown.isEmpty())
        return;
    const QRect part = shown.translated(-target.topLeft());
    if (made_.isNull() || madeFor_ != target.size() || madeOf_ != part ||
        !qFuzzyCompare(madeAt_, ratio)) {
        made_ = smoothlyScaled(densest().copy(sourceOf(densest(), target.size(), part)),
                               part.size(), ratio);
        madeFor_ = target.size();
        madeOf_ = part;
        madeAt_ = ratio;
    }
    painter.drawImage(QRectF(shown), made_);
}

} // namespace vaporica
