#pragma once

#include "widgets/ScalablePicture.h"
#include "widgets/Twips.h"

#include <QImage>
#include <QWidget>
#include <vector>

namespace vaporica {

// A screen's window: fixed client size, no resize, no minimise or maximise box, background colour
// and optional picture, the common icon, centred each time it is shown.
class Form : public QWidget {
    Q_OBJECT
public:
    Form(const QString &caption, int clientWidthTwips, int clientHeightTwips,
         std::uint32_t backColor = PaleYellow);

    // Runs once, after the controls exist and before the window shows.
    virtual void Form_Load() {}

    // Every show centres the window on the desktop (before it appears); this one also corrects for
    // a window manager's frame once that is known.
    void showCentred();
    void centreOnScreen();
    void setBackgroundPicture(const ScalablePicture &picture);

    // The buttons in tab order; the first visible one takes the focus when the screen opens.
    void setTabOrder(const std::vector<QWidget *> &inTabOrder);
    QWidget *firstFocusable() const;

    // The order a screen reader reads the screen in: these first, then the other controls in the
    // order they were created (the stacking order Qt keeps is the drawing order).
    void setReadingOrder(const std::vector<QObject *> &order) { readingOrder_ = order; }
    std::vector<QObject *> accessibleChildren() const;

    void markUnloaded() { unloaded_ = true; }

protected:
    // Pointer moves over the bare background; screens without a handler ignore them.
    virtual void Form_MouseMove() {}

    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    ScalablePicture background_;
    std::vector<QWidget *> tabOrder_;
    std::vector<QObject *> readingOrder_;
    bool unloaded_ = false;
};

// The icon all five windows share: 32 x 32, at most 256 colours, fully opaque.
QIcon windowIcon();
QImage windowIconPicture();

// Where a window's outer frame goes to be centred in the screen's available area: centred where it
// fits, its top-left kept on the screen where it does not.
QPoint centredTopLeft(const QRect &area, const QSize &outer);

} // namespace vaporica
