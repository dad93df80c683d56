#include "widgets/Accessibility.h"

#include "widgets/Controls.h"
#include "widgets/FocusRing.h"
#include "widgets/Form.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QVariant>
#include <QWindow>
#include <algorithm>
#include <climits>

namespace vaporica {

namespace {
const char *const CreationProperty = "vaporicaCreation";

bool readsAsChild(QObject *object) {
    // The focus ring only marks where the focus is, which a screen reader says itself.
    if (qobject_cast<FocusRing *>(object) != nullptr)
        return false;
    if (auto *w = qobject_cast<QWidget *>(object))
        return !w->isWindow();
    return qobject_cast<SpokenText *>(object) != nullptr;
}

std::vector<QObject *> accessibleChildrenOf(const QWidget *container) {
    if (auto *form = qobject_cast<const Form *>(container))
        return form->accessibleChildren();
    return readingOrder(container);
}

// A screen or a frame: its name is its title or caption unless it was given one, and its children
// read in reading order.
class ContainerAccessible : public QAccessibleWidget {
public:
    ContainerAccessible(QWidget *w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            if (auto *frame = qobject_cast<const Frame *>(widget()))
                return frame->caption();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(accessibleChildrenOf(widget()).size()); }
    QAccessibleInterface *child(int index) const override {
        const std::vector<QObject *> children = accessibleChildrenOf(widget());
        if (index < 0 || index >= int(children.size()))
            return nullptr;
        return QAccessible::queryAccessibleInterface(children[std::size_t(index)]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        if (child == nullptr)
            return -1;
        const std::vector<QObject *> children = accessibleChildrenOf(widget());
        const auto at = std::find(children.begin(), children.end(), child->object());
        return at == children.end() ? -1 : int(at - children.begin());
    }
};

// A picture: a graphic, or a push button with a press action when it answers a question. The
// role is read each time, as the interface may exist before the picture is made an answer.
class ImageBoxAccessible : public QAccessibleWidget {
public:
    explicit ImageBoxAccessible(ImageBox *box) : QAccessibleWidget(box, QAccessible::Graphic) {}

    QAccessible::Role role() const override {
        return box()->isAnswer() ? QAccessible::Button : QAccessible::Graphic;
    }
    QStringList actionNames() const override {
        return box()->isAnswer() ? QStringList{pressAction(), setFocusAction()} : QStringList{};
    }
    void doAction(const QString &name) override {
        if (!box()->isAnswer())
            return;
        if (name == pressAction())
            runHandler(box()->onClick);
        else if (name == setFocusAction())
            box()->setFocus(Qt::OtherFocusReason);
    }
    QStringList keyBindingsForAction(const QString &name) const override {
        return name == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }

private:
    ImageBox *box() const { return static_cast<ImageBox *>(widget()); }
};

class LabelAccessible : public QAccessibleWidget {
public:
    explicit LabelAccessible(Label *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const Label *>(widget())->caption();
        return QAccessibleWidget::text(t);
    }
};

class SpokenTextAccessible : public QAccessibleObject {
public:
    explicit SpokenTextAccessible(SpokenText *spoken) : QAccessibleObject(spoken) {}

    QAccessible::Role role() const override { return spoken()->role(); }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? spoken()->words() : QString();
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = !spoken()->isShowing();
        return s;
    }
    QRect rect() const override {
        const QRect &place = spoken()->place();
        if (place.isEmpty())
            return {};
        return {spoken()->container()->mapToGlobal(place.topLeft()), place.size()};
    }
    QWindow *window() const override { return spoken()->container()->window()->windowHandle(); }
    QAccessibleInterface *parent() const override {
        return QAccessible::queryAccessibleInterface(spoken()->container());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

private:
    SpokenText *spoken() const { return static_cast<SpokenText *>(object()); }
};

QAccessibleInterface *accessibleControl(const QString &className, QObject *object) {
    if (className == QLatin1String("vaporica::ImageBox"))
        return new ImageBoxAccessible(static_cast<ImageBox *>(object));
    if (className == QLatin1String("vaporica::Frame"))
        return new ContainerAccessible(static_cast<QWidget *>(object), QAccessible::Grouping);
    if (className == QLatin1String("vaporica::Form"))
        return new ContainerAccessible(static_cast<QWidget *>(object), QAccessible::Window);
    if (className == QLatin1String("vaporica::Label"))
        return new LabelAccessible(static_cast<Label *>(object));
    if (className == QLatin1String("vaporica::SpokenText"))
        return new SpokenTextAccessible(static_cast<SpokenText *>(object));
    return nullptr;
}
// Qt's bridge to the accessibility bus (AT-SPI) tells a screen reader that a control it shows is
// "showing" but not that it is "visible", and says nothing of the controls inside a shown panel.
// A screen reader that first met them hidden keeps them as not visible and passes over them, so
// every control that shows or hides in a window on the screen tells both states itself, on the
// bridge's own connection and in the bridge's own terms.
class VisibilityStates : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            if (auto *control = qobject_cast<QWidget *>(watched))
                tell(control, event->type() == QEvent::Show);
        return false;
    }

private:
    static void tell(QWidget *control, bool shown) {
        // A window appearing is read afresh by the screen reader; only changes inside one already
        // on the screen need telling.
        const QWindow *window = control->window()->windowHandle();
        if (control->isWindow() || window == nullptr || !window->isExposed() ||
            qobject_cast<FocusRing *>(control) != nullptr || !QAccessible::isActive())
            return;
        // The connection Qt's bridge opened to the accessibility bus, found by its name.
        QDBusConnection bus(QStringLiteral("a11y"));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
        if (!bus.isConnected() || iface == nullptr)
            return;
        const QString path =
            QStringLiteral("/org/a11y/atspi/accessible/%1").arg(QAccessible::uniqueId(iface));
        QDBusArgument application;
        application.beginStructure();
        application << bus.baseService()
                    << QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"));
        application.endStructure();
        for (const char *state : {"showing", "visible"}) {
            QDBusMessage signal =
                QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"),
                                           QStringLiteral("StateChanged"));
            signal << QString::fromLatin1(state) << int(shown) << 0
                   << QVariant::fromValue(QDBusVariant(0)) << QVariant::fromValue(application);
            bus.send(signal);
        }
    }
};
} // namespace

void installAccessibleControls() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleControl);
        qApp->installEventFilter(new VisibilityStates(qApp));
        return true;
    }();
    (void)installed;
}

void noteCreation(QObject *object) {
    static int created = 0;
    object->setProperty(CreationProperty, ++created);
}

std::vector<QObject *> readingOrder(const QWidget *container) {
    std::vector<QObject *> order;
    std::vector<std::pair<int, QObject *>> rest;
    for (QObject *o : container->children()) {
        if (!readsAsChild(o))
            continue;
        const QVariant created = o->property(CreationProperty);
        rest.emplace_back(created.isValid() ? created.toInt() : INT_MAX, o);
    }
    std::stable_sort(rest.begin(), rest.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[created, o] : rest)
        order.push_back(o);
    return order;
}

SpokenText::SpokenText(QWidget *container, QAccessible::Role role, const QString &words,
                       const QRect &place)
    : QObject(container), role_(role), words_(words), place_(place) {
    noteCreation(this);
}

QWidget *SpokenText::container() const {
    return static_cast<QWidget *>(parent());
}

void SpokenText::announce(const QString &words) {
    words_ = words;
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace vaporica
