#pragma once

#include "assets/PictureLoader.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

class QPainter;
class QWidget;

namespace vaporica {

// A picture as a control shows it: its pixels at the layout's size, and a way to stay sharp on a
// screen of more device pixels per layout pixel (a projector or laptop at 150 or 200 %). A piece
// of the layout artwork is rendered again from its SVG source at the device's size; a picture
// file, which has one size, is scaled smoothly instead of by repeating its pixels. At one device
// pixel per layout pixel the pixels are drawn as they are, with nothing rendered or scaled.
class ScalablePicture {
public:
    ScalablePicture() = default;
    // A picture file's pixels: scaled smoothly where the device needs more. Not explicit, so a
    // loaded picture is handed to a control as it is.
    ScalablePicture(const QImage &pixels) : pixels_(pixels) {}
    // A picture file with, where the data has it, its picture at twice the size.
    ScalablePicture(const PictureFile &file) : pixels_(file.pixels), doubled_(file.doubled) {}
    // Artwork: `pixels` at its layout size, rendered again from `svgSource` where needed.
    ScalablePicture(const QImage &pixels, const QString &svgSource)
        : pixels_(pixels), svgSource_(svgSource) {}

    const QImage &pixels() const { return pixels_; }
    const QString &svgSource() const { return svgSource_; }
    bool isNull() const { return pixels_.isNull(); }
    QSize size() const { return pixels_.size(); }
    const QImage &doubled() const { return doubled_; }

    // The part `rect` (layout pixels) of a picture file, with the same part at twice the size.
    ScalablePicture part(const QRect &rect) const;

    // The pixels that fill `target` layout pixels on a device of `ratio` device pixels per layout
    // pixel: the picture's own at ratio 1, otherwise made once for that target and ratio and kept
    // (artwork also for the other pictures of the same piece, up to a bound).
    QImage forDevice(QSize target, qreal ratio) const;

    // Draws the picture into `target` (layout pixels) with the painter's device's ratio.
    void draw(QPainter &painter, const QRect &target) const;

    // The device pixels last made for a denser device, for tests: what a draw kept in memory.
    QSize madeSize() const { return made_.size(); }

private:
    // Where a denser device's pixels are made from: the picture at twice the size if there is one.
    const QImage &densest() const { return doubled_.isNull() ? pixels_ : doubled_; }

    QImage pixels_;
    QImage doubled_;
    QString svgSource_;
    mutable QImage made_;
    mutable QSize madeFor_;
    mutable QRect madeOf_; // the part of the target it shows, in the target's coordinates
    mutable qreal madeAt_ = 1.0;
};

// The artwork every screen shows, rendered for a device of `ratio` into the store the controls
// draw from, so that no screen's first visit waits for its SVGs. At ratio 1 nothing is needed:
// the build pre-rendered it.
void prepareArtwork(qreal ratio);
// The same in the background: once `window` has painted its first frame, one piece each time the
// program is idle, the piece a pupil most likely needs next (the gas quiz's background) first. A
// key or click waits at most for the one piece being rendered.
// `more` is work of the same kind for the screens, done after the artwork, one job at a time.
void prepareArtworkOnceShown(QWidget *window, const QList<std::function<void()>> &more = {});
// Only `jobs`, in the same way: on a denser screen, one at a time once `window` has painted.
void prepareOnceShown(QWidget *window, const QList<std::function<void()>> &jobs);
// Whether a preparation in the background has pieces left.
bool preparingArtwork();
// Forgets the artwork rendered for denser devices and the pictures read at twice the size: for
// measuring a first visit.
void forgetRenderedArtwork();

} // namespace vaporica
