#pragma once

// How the screens read to assistive tools (a screen reader on the accessibility bus): each control
// with its role and name, in the order a pupil reads the screen, not the order Qt stacks it in;
// words that exist only as pixels; and spoken announcements of what just happened.

#include <QAccessible>
#include <QObject>
#include <QRect>
#include <QString>
#include <vector>

class QWidget;

namespace vaporica {

// Installs the interfaces of the program's own controls; every Form does it before its first
// control exists. Safe to call again.
void installAccessibleControls();

// Numbers an object in the order its screen creates it, or again in the order its layout table
// says it is read. Raising a control to stack it changes Qt's child order; reading follows this
// number instead.
void noteCreation(QObject *object);

// The objects a container reads: its controls and spoken texts in the order they were noted.
std::vector<QObject *> readingOrder(const QWidget *container);

// Words for assistive tools alone: no widget and no pixels of its own. As static text it names
// words a picture shows (place is where they stand, in the container's pixels); as a notification
// it speaks each announcement.
class SpokenText : public QObject {
    Q_OBJECT
public:
    SpokenText(QWidget *container, QAccessible::Role role, const QString &words = {},
               const QRect &place = {});

    QWidget *container() const;
    QAccessible::Role role() const { return role_; }
    const QString &words() const { return words_; }
    const QRect &place() const { return place_; }
    // A notification stays hidden until its first announcement.
    bool isShowing() const { return role_ != QAccessible::Notification || !words_.isEmpty(); }

    // Replaces the words and tells assistive tools: a notification that shows, which a screen
    // reader speaks at once.
    void announce(const QString &words);
    // Back to silence, unannounced (a screen's reset at load).
    void clear() { words_.clear(); }

private:
    QAccessible::Role role_;
    QString words_;
    QRect place_;
};

} // namespace vaporica
