#pragma once

// What a screen reader sees of the running program: its accessible objects on the accessibility
// bus, read and pressed through the AT-SPI client library, and the announcements it is given.

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atspi/atspi.h>

#include <memory>
#include <optional>
#include <vector>

namespace vaporica::e2e {

// A private session bus, started with the environment as the case has made it, so the services it
// starts (the accessibility bus among them) keep their sockets in that run's places, never in
// those of another run beside it. Its address joins env, and this process becomes a client of
// the bus and of the case's X server. False when the bus did not start.
inline bool startSessionBus(QProcess &bus, QProcessEnvironment &env) {
    bus.setProcessEnvironment(env);
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--session"), QStringLiteral("--nofork"),
               QStringLiteral("--print-address=1")});
    while (!bus.canReadLine() && bus.waitForReadyRead(10000)) {
    }
    const QByteArray address = bus.readLine().trimmed();
    if (address.isEmpty())
        return false;
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(address));
    for (const QString &name : {QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                                QStringLiteral("DISPLAY"), QStringLiteral("XDG_RUNTIME_DIR")})
        if (env.contains(name))
            qputenv(name.toLatin1().constData(), env.value(name).toUtf8());
    return true;
}

// One accessible object, released with its last holder.
class Accessible {
public:
    Accessible() = default;
    // Takes over a reference the library gave.
    explicit Accessible(AtspiAccessible *taken) : object_(taken, g_object_unref) {}

    AtspiAccessible *get() const { return object_.get(); }
    explicit operator bool() const { return object_ != nullptr; }

    QString name() const { return text(atspi_accessible_get_name(get(), nullptr)); }
    QString description() const { return text(atspi_accessible_get_description(get(), nullptr)); }
    QString roleName() const { return text(atspi_accessible_get_role_name(get(), nullptr)); }
    AtspiRole role() const { return atspi_accessible_get_role(get(), nullptr); }
    bool showing() const {
        AtspiStateSet *states = atspi_accessible_get_state_set(get());
        const bool shown =
            states != nullptr && atspi_state_set_contains(states, ATSPI_STATE_SHOWING);
        if (states != nullptr)
            g_object_unref(states);
        return shown;
    }
    std::vector<Accessible> children() const {
        std::vector<Accessible> all;
        const int count = atspi_accessible_get_child_count(get(), nullptr);
        for (int i = 0; i < count; ++i)
            if (AtspiAccessible *child = atspi_accessible_get_child_at_index(get(), i, nullptr))
                all.emplace_back(child);
        return all;
    }
    // The first showing descendant with this role (any role if none given) and name (any if
    // empty), depth first in reading order.
    Accessible find(std::optional<AtspiRole> role, const QString &name = {}, int depth = 0) const {
        for (const Accessible &child : children()) {
            if ((!role || child.role() == *role) && (name.isEmpty() || child.name() == name) &&
                child.showing())
                return child;
            if (depth < 4)
                if (Accessible found = child.find(role, name, depth + 1))
                    return found;
        }
        return {};
    }
    std::vector<Accessible> findAll(AtspiRole role) const {
        std::vector<Accessible> found;
        for (const Accessible &child : children()) {
            if (child.role() == role && child.showing())
                found.push_back(child);
            for (Accessible &deeper : child.findAll(role))
                found.push_back(std::move(deeper));
        }
        return found;
    }
    // The names of the children, joined as a screen reader reads a group.
    QString childNames() const {
        QStringList names;
        for (const Accessible &child : children())
            names << child.name();
        return names.join(QStringLiteral("、"));
    }
    // Presses the object by its "press" action, as a screen reader's user does; false without one.
    bool press() const {
        AtspiAction *action = atspi_accessible_get_action_iface(get());
        if (action == nullptr)
            return false;
        bool pressed = false;
        const int count = atspi_action_get_n_actions(action, nullptr);
        for (int i = 0; i < count && !pressed; ++i)
            if (text(atspi_action_get_action_name(action, i, nullptr)).toLower() ==
                QStringLiteral("press"))
                pressed = atspi_action_do_action(action, i, nullptr);
        g_object_unref(action);
        return pressed;
    }

private:
    static QString text(gchar *owned) {
        const QString value = QString::fromUtf8(owned);
        g_free(owned);
        return value;
    }

    std::shared_ptr<AtspiAccessible> object_;
};

// Lets the accessibility events of the next `ms` arrive.
inline void pumpEvents(int ms) {
    QElapsedTimer clock;
    clock.start();
    do {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        QThread::msleep(20);
    } while (clock.elapsed() < ms);
}

// The program's application object on the bus, uncached so every read is fresh; none if it has
// not appeared within the time.
inline Accessible applicationOf(qint64 pid, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        const Accessible desktop(atspi_get_desktop(0));
        for (const Accessible &app : desktop.children())
            if (atspi_accessible_get_process_id(app.get(), nullptr) == pid) {
                atspi_accessible_set_cache_mask(app.get(), ATSPI_CACHE_NONE);
                return app;
            }
        pumpEvents(200);
    }
    return {};
}

// The program's showing window with this caption.
inline Accessible windowOf(const Accessible &app, const QString &caption, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        atspi_accessible_clear_cache(app.get());
        for (const Accessible &window : app.children())
            if (window.name() == caption && window.showing())
                return window;
        pumpEvents(100);
    }
    return {};
}

// What the program says to a screen reader as it runs: its announcements (a notification shown)
// and the windows it activates, in order.
class Listener {
public:
    Listener() {
        listener_ = atspi_event_listener_new(&Listener::heard, this, nullptr);
        for (const char *type : {"object:state-changed:showing", "window:activate"})
            atspi_event_listener_register(listener_, type, nullptr);
    }
    ~Listener() {
        for (const char *type : {"object:state-changed:showing", "window:activate"})
            atspi_event_listener_deregister(listener_, type, nullptr);
        g_object_unref(listener_);
    }
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;

    // Waits for these words to be announced and takes them off the list.
    bool expectAnnouncement(const QString &words, int ms = 5000) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (announced_.removeOne(words))
                return true;
            pumpEvents(50);
        }
        return false;
    }
    const QStringList &announced() const { return announced_; }

private:
    static void heard(AtspiEvent *event, void *self) {
        auto *listener = static_cast<Listener *>(self);
        const Accessible source(event->source != nullptr
                                    ? static_cast<AtspiAccessible *>(g_object_ref(event->source))
                                    : nullptr);
        if (source && QByteArray(event->type).startsWith("object:state-changed:showing") &&
            event->detail1 == 1 && source.role() == ATSPI_ROLE_NOTIFICATION)
            listener->announced_ << source.name();
        g_boxed_free(ATSPI_TYPE_EVENT, event);
    }

    AtspiEventListener *listener_;
    QStringList announced_;
};

} // namespace vaporica::e2e
