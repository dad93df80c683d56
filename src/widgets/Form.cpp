#include "widgets/Form.h"

#include "base/ProgramLife.h"
#include "widgets/Accessibility.h"
#include "widgets/ArtPictures.h"
#include "widgets/FocusRing.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace vaporica {

Form::Form(const QString &caption, int clientWidthTwips, int clientHeightTwips,
           std::uint32_t backColor)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint) {
    installAccessibleControls();
    setWindowTitle(caption);
    setFixedSize(px(clientWidthTwips), px(clientHeightTwips));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, bgr(backColor));
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);
    setWindowIcon(vaporica::windowIcon());
    focusRing_ = new FocusRing(this);
}

void Form::showCentred() {
    show();
    centreOnScreen();
    // The screen just shown is the one the pupil works in: it takes the keyboard (and so shows
    // its focus mark) even where no window manager hands it over.
    activateWindow();
}

void Form::centreOnScreen() {
    QScreen *screen = this->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    // For a window, move() places the outer frame; before the first showing the frame is not
    // known and equals the client area.
    const QRect outer = frameGeometry();
    const QPoint target = centredTopLeft(area, outer.size());
    if (outer.topLeft() != target)
        move(target);
}

QPoint centredTopLeft(const QRect &area, const QSize &outer) {
    // On a screen smaller than the window the title bar stays on the screen, where the pupil can
    // reach the close box and move the window; the rest may run off the bottom and right.
    return {qMax(area.x(), area.x() + (area.width() - outer.width()) / 2),
            qMax(area.y(), area.y() + (area.height() - outer.height()) / 2)};
}

void Form::setBackgroundPicture(const ScalablePicture &picture) {
    background_ = picture;
    update();
}

void Form::setTabOrder(const std::vector<QWidget *> &inTabOrder) {
    tabOrder_ = inTabOrder;
    for (std::size_t i = 1; i < tabOrder_.size(); ++i)
        QWidget::setTabOrder(tabOrder_[i - 1], tabOrder_[i]);
}

QWidget *Form::firstFocusable() const {
    for (QWidget *w : tabOrder_)
        if (w->isVisibleTo(const_cast<Form *>(this)) && w->focusPolicy() != Qt::NoFocus)
            return w;
    return nullptr;
}

std::vector<QObject *> Form::accessibleChildren() const {
    return readingOrder(this);
}

SpokenText *Form::announcer() {
    if (announcer_ == nullptr)
        announcer_ = new SpokenText(this, QAccessible::Notification);
    return announcer_;
}

void Form::announce(const QString &words) {
    announcer()->announce(words);
}

void Form::announceOnArrival(const QString &words) {
    arrivalWords_ = words;
}

QString Form::announced() const {
    return announcer_ == nullptr ? QString() : announcer_->words();
}

void Form::silence() {
    announcer()->clear();
}

bool Form::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate && !arrivalWords_.isEmpty()) {
        // Activation hands the focus to the first button only after this event; a screen reader
        // speaks the window and that button first, and then these words, uninterrupted.
        QTimer::singleShot(0, this, [this, words = arrivalWords_] { announce(words); });
        arrivalWords_.clear();
    }
    return QWidget::event(event);
}

void Form::mouseMoveEvent(QMouseEvent *event) {
    event->accept();
    guarded([this] { Form_MouseMove(); });
}

void Form::paintEvent(QPaintEvent *) {
    if (background_.isNull())
        return;
    QPainter painter(this);
    background_.draw(painter, QRect(QPoint(0, 0), background_.size()));
}

void Form::closeEvent(QCloseEvent *event) {
    // The close box unloads this screen; as no other is loaded, the program ends.
    event->accept();
    if (!unloaded_)
        guarded([] { ProgramEnd(); });
}

void Form::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // Sent before the window appears, so it appears centred; a spontaneous show (the window
    // system restoring it) keeps the place the pupil sees.
    if (!event->spontaneous())
        centreOnScreen();
    if (QWidget *first = firstFocusable())
        first->setFocus(Qt::OtherFocusReason);
}

QImage windowIconPicture() {
    QImage opaque(32, 32, QImage::Format_RGB32);
    opaque.fill(Qt::black);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, artPicture(QStringLiteral(":/art/common/icon.svg")));
    painter.end();
    // The layout's icon has 256 colours; the rendering's soft edges give a few more.
    return opaque.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

QIcon windowIcon() {
    static const QIcon icon(QPixmap::fromImage(windowIconPicture()));
    return icon;
}

} // namespace vaporica
