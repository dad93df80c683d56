#pragma once

#include <QPointer>
#include <QWidget>

namespace vaporica {

// The keyboard focus of one screen, drawn around the focused control instead of on it: a black
// band outside a white one, each two layout pixels wide at every scale, so it stands out on any
// face and any ground and covers no picture, border or word of the control itself. It follows
// the focus wherever it goes in the screen and lets the pointer through.
class FocusRing : public QWidget {
    Q_OBJECT
public:
    static constexpr int Band = 2;

    explicit FocusRing(QWidget *screen);
    // The control the ring is drawn around, or none.
    QWidget *target() const { return target_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QWidget *focused);
    void place();

    QPointer<QWidget> target_;
};

} // namespace vaporica
