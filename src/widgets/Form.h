#pragma once

#include "widgets/ScalablePicture.h"
#include "widgets/Twips.h"

#include <QImage>
#include <QWidget>
#include <span>
#include <vector>

namespace vaporica {

class FocusRing;
class SpokenText;
template <class Screen> struct LayoutRow;

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

    // Makes the screen's controls from its layout table (widgets/Layout.h): places, looks,
    // stacking, tab order, reading order and handlers.
    template <class Screen> void build(std::span<const LayoutRow<Screen>> table);

    // The order a screen reader reads the screen in: the order its controls were noted in (the
    // stacking order Qt keeps is the drawing order).
    std::vector<QObject *> accessibleChildren() const;

    // Says words to a screen reader at once: the screen's notification, which a screen reader
    // speaks when it shows. Made on first use, so it reads after the screen's controls.
    void announce(const QString &words);
    // What a sighted pupil takes in at a glance when the screen appears, said once the screen has
    // become the active window, after the screen reader has named the window and the focused
    // button (which would otherwise cut it short).
    void announceOnArrival(const QString &words);
    // The words of the last announcement, empty before the first or after a silence.
    QString announced() const;
    // Back to silence, unannounced (a screen's reset at load); makes the notification if need be.
    void silence();

    void markUnloaded() { unloaded_ = true; }

protected:
    // Pointer moves over the bare background; screens without a handler ignore them.
    virtual void Form_MouseMove() {}

    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    SpokenText *announcer();

    ScalablePicture background_;
    std::vector<QWidget *> tabOrder_;
    bool unloaded_ = false;
    SpokenText *announcer_ = nullptr;
    QString arrivalWords_;
    FocusRing *focusRing_;
};

// The icon all five windows share: 32 x 32, at most 256 colours, fully opaque.
QIcon windowIcon();
QImage windowIconPicture();

// Where a window's outer frame goes to be centred in the screen's available area: centred where it
// fits, its top-left kept on the screen where it does not.
QPoint centredTopLeft(const QRect &area, const QSize &outer);

} // namespace vaporica
