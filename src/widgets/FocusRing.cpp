#include "widgets/FocusRing.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QRegion>

namespace vaporica {

FocusRing::FocusRing(QWidget *screen) : QWidget(screen) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { follow(now); });
}

void FocusRing::follow(QWidget *focused) {
    if (target_)
        target_->removeEventFilter(this);
    QWidget *screen = parentWidget();
    const bool inScreen = focused != nullptr && focused != screen && screen->isAncestorOf(focused);
    target_ = inScreen ? focused : nullptr;
    if (target_)
        target_->installEventFilter(this);
    place();
}

void FocusRing::place() {
    if (!target_ || !target_->isVisible()) {
        hide();
        return;
    }
    constexpr int Width = 2 * Band;
    const QRect control(target_->mapTo(parentWidget(), QPoint(0, 0)), target_->size());
    setGeometry(control.adjusted(-Width, -Width, Width, Width));
    // Only the bands belong to the ring: the control shows through and is repainted by no one.
    setMask(QRegion(rect()) - QRegion(rect().adjusted(Width, Width, -Width, -Width)));
    // Above every control of the screen, the panel the focused control lies on included.
    raise();
    show();
    update();
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event) {
    if (watched == target_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        default:
            break;
        }
    }
    return false;
}

void FocusRing::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    // The mask keeps each fill to its band.
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect().adjusted(Band, Band, -Band, -Band), Qt::white);
}

} // namespace vaporica
