#include "widgets/Controls.h"

#include "base/ProgramLife.h"
#include "widgets/Accessibility.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>

namespace vaporica {

void runHandler(const Handler &handler) {
    if (handler)
        guarded(handler);
}

QFont minchoFont(const QString &family, double pointSize, bool bold) {
    constexpr double LayoutPixelsPerPoint = 1440.0 / TwipsPerPixel / 72.0;
    QFont font(family);
    font.setPixelSize(qRound(pointSize * LayoutPixelsPerPoint));
    font.setBold(bold);
    return font;
}

QColor platformButtonFace() {
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

namespace {
void placeAt(QWidget *w, TwipsRect place) {
    w->setGeometry(place.pixels());
    w->setMouseTracking(true);
    // A move or click that this control does not handle stops here instead of reaching its parent.
    w->setAttribute(Qt::WA_NoMousePropagation);
    noteCreation(w);
}

void drawBevel(QPainter &p, const QRect &r, const QColor &light, const QColor &dark) {
    p.setPen(light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}
} // namespace

// --- GraphicalButton ---

GraphicalButton::GraphicalButton(QWidget *parent, TwipsRect place, std::uint32_t faceColor)
    : GraphicalButton(parent, place, bgr(faceColor)) {}

GraphicalButton::GraphicalButton(QWidget *parent, TwipsRect place, const QColor &faceColor)
    : QAbstractButton(parent), face_(faceColor) {
    placeAt(this, place);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { runHandler(onClick); });
}

namespace {

// The part of a picture file that a button of `face` pixels can show (centred, one pixel to spare
// for the pressed shift): a plate of 2048 pixels a side keeps 16 MB for a few hundred pixels seen.
ScalablePicture shownPart(const ScalablePicture &picture, QSize face) {
    const QSize size = picture.size();
    const QSize room = face + QSize(2, 2);
    // A plate a little larger than its button, as the layout's are, is kept whole.
    if (!picture.svgSource().isEmpty() ||
        (size.width() <= 2 * room.width() && size.height() <= 2 * room.height()))
        return picture;
    const QSize kept = size.boundedTo(room);
    // Where the button draws the whole picture and where it draws the kept part, left and top.
    const QPoint whole((face.width() - size.width()) / 2, (face.height() - size.height()) / 2);
    const QPoint part((face.width() - kept.width()) / 2, (face.height() - kept.height()) / 2);
    return picture.part(QRect(part - whole, kept));
}

} // namespace

void GraphicalButton::setPicture(const ScalablePicture &picture) {
    picture_ = shownPart(picture, size());
    update();
}

void GraphicalButton::setPicture(const ScalablePicture &picture, const QString &words) {
    setAccessibleName(words);
    setPicture(picture);
}

void GraphicalButton::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const QRect r = rect();
    const bool down = isDown();
    p.fillRect(r, face_);
    const QPoint shift = down ? QPoint(1, 1) : QPoint(0, 0);
    p.save();
    p.setClipRect(r.adjusted(2, 2, -2, -2));
    if (!picture_.isNull()) {
        const QSize size = picture_.size();
        const QPoint topLeft((r.width() - size.width()) / 2, (r.height() - size.height()) / 2);
        picture_.draw(p, QRect(topLeft + shift, size));
    } else if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(captionColor_);
        p.drawText(r.translated(shift), Qt::AlignCenter, text());
    }
    p.restore();
    // Raised edge, sunk while pressed.
    const QColor light(255, 255, 255), shade(128, 128, 128), dark(0, 0, 0);
    // QRect's right() and bottom() are the last pixel row and column inside the face.
    if (down) {
        drawBevel(p, r, dark, light);
        drawBevel(p, r.adjusted(1, 1, -1, -1), shade, face_);
    } else {
        drawBevel(p, r, light, dark);
        drawBevel(p, r.adjusted(1, 1, -1, -1), face_.lighter(115), shade);
    }
    // The focus shows as the screen's focus ring around the button, not on its face.
}

void GraphicalButton::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void GraphicalButton::mouseMoveEvent(QMouseEvent *event) {
    QAbstractButton::mouseMoveEvent(event);
    event->accept();
    runHandler(onMouseMove);
}

// --- ImageBox ---

ImageBox::ImageBox(QWidget *parent, TwipsRect place, bool stretch)
    : QWidget(parent), stretch_(stretch) {
    placeAt(this, place);
}

void ImageBox::setPicture(const ScalablePicture &picture) {
    if (!stretch_ && !picture.isNull())
        resize(picture.size());
    // A picture file far larger than the window is kept only where the window shows the box.
    const QRect seen = QRect(mapFrom(window(), QPoint(0, 0)), window()->size()) & rect();
    const QSize size = picture.size();
    if (!stretch_ && picture.svgSource().isEmpty() && !seen.isEmpty() &&
        (size.width() > 2 * seen.width() || size.height() > 2 * seen.height())) {
        picture_ = picture.part(seen);
        shownAt_ = seen.topLeft();
    } else {
        picture_ = picture;
        shownAt_ = QPoint(0, 0);
    }
    update();
}

void ImageBox::setPicture(const ScalablePicture &picture, const QString &words) {
    setAccessibleDescription(words);
    setPicture(picture);
}

void ImageBox::setBorderStyle(int style) {
    borderStyle_ = style;
    update();
}

void ImageBox::makeAnswer() {
    setFocusPolicy(Qt::TabFocus);
}

void ImageBox::paintEvent(QPaintEvent *) {
    QPainter p(this);
    picture_.draw(p, stretch_ ? rect() : QRect(shownAt_, picture_.size()));
    if (borderStyle_ == 1) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void ImageBox::keyPressEvent(QKeyEvent *event) {
    const int key = event->key();
    if (isAnswer() && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        event->accept();
        if (!event->isAutoRepeat())
            runHandler(onClick);
        return;
    }
    QWidget::keyPressEvent(event);
}

void ImageBox::mouseMoveEvent(QMouseEvent *event) {
    event->accept();
    runHandler(onMouseMove);
}

void ImageBox::mousePressEvent(QMouseEvent *event) {
    event->accept();
    pressed_ = event->button() == Qt::LeftButton;
}

void ImageBox::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        runHandler(onClick);
}

// --- Frame ---

Frame::Frame(QWidget *parent, TwipsRect place, const QString &caption, std::uint32_t backColor,
             std::uint32_t foreColor, const QFont &font)
    : QWidget(parent), caption_(caption), back_(bgr(backColor)), fore_(bgr(foreColor)) {
    placeAt(this, place);
    setFont(font);
}

void Frame::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), back_);
    const QFontMetrics fm(font());
    const int lineY = caption_.isEmpty() ? 0 : fm.height() / 2;
    // Etched border: a dark line with a light one beside it.
    const QRect outer = rect().adjusted(0, lineY, -2, -2);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(outer);
    p.setPen(Qt::white);
    p.drawRect(outer.translated(1, 1));
    if (!caption_.isEmpty()) {
        p.setFont(font());
        const int w = fm.horizontalAdvance(caption_);
        const QRect textRect(8, 0, w + 4, fm.height());
        p.fillRect(textRect, back_);
        p.setPen(fore_);
        p.drawText(textRect, Qt::AlignCenter, caption_);
    }
}

void Frame::mouseMoveEvent(QMouseEvent *event) {
    event->accept();
    runHandler(onMouseMove);
}

// --- Label ---

Label::Label(QWidget *parent, TwipsRect place, std::uint32_t backColor, std::uint32_t foreColor,
             const QFont &font)
    : QWidget(parent), back_(bgr(backColor)), fore_(bgr(foreColor)) {
    placeAt(this, place);
    setFont(font);
    centreX_ = geometry().left() + geometry().width() / 2;
}

void Label::setCaption(const QString &caption) {
    caption_ = caption;
    const QFontMetrics fm(font());
    const int width = std::max(1, fm.horizontalAdvance(caption_) + 2);
    setGeometry(centreX_ - width / 2, y(), width, std::max(height(), fm.height()));
    update();
}

void Label::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), back_);
    p.setPen(fore_);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, caption_);
}

void Label::mouseMoveEvent(QMouseEvent *event) {
    event->accept();
}

// --- Timer ---

Timer::Timer(QObject *parent) : QObject(parent), timer_(this) {
    connect(&timer_, &QTimer::timeout, this, [this] { runHandler(onTick); });
}

void Timer::setInterval(int milliseconds) {
    interval_ = milliseconds;
    if (milliseconds > 0)
        timer_.start(milliseconds);
    else
        timer_.stop();
}

} // namespace vaporica
