#include "widgets/Accessibility.h"

#include "widgets/Controls.h"
#include "widgets/Form.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWindow>
#include <algorithm>
#include <climits>

namespace vaporica {

namespace {
const char *const CreationProperty = "vaporicaCreation";

bool readsAsChild(QObject *object) {
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
    // A screen keeps the role Qt gives any plain widget window.
    if (className == QLatin1String("vaporica::Form"))
        return new ContainerAccessible(static_cast<QWidget *>(object), QAccessible::Client);
    if (className == QLatin1String("vaporica::Label"))
        return new LabelAccessible(static_cast<Label *>(object));
    if (className == QLatin1String("vaporica::SpokenText"))
        return new SpokenTextAccessible(static_cast<SpokenText *>(object));
    return nullptr;
}
} // namespace

void installAccessibleControls() {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleControl);
        return true;
    }();
    (void)installed;
}

void noteCreation(QObject *object) {
    static int created = 0;
    object->setProperty(CreationProperty, ++created);
}

std::vector<QObject *> readingOrder(const QWidget *container,
                                    const std::vector<QObject *> &explicitOrder) {
    std::vector<QObject *> order;
    for (QObject *o : explicitOrder)
        if (o != nullptr && o->parent() == container)
            order.push_back(o);
    std::vector<std::pair<int, QObject *>> rest;
    for (QObject *o : container->children()) {
        if (!readsAsChild(o) || std::find(order.begin(), order.end(), o) != order.end())
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
