#include "app/StartEnvironment.h"

#include "drawing/Fonts.h"
#include "platform/BusProbe.h"

#include <QAccessible>
#include <QByteArray>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace vaporica {

namespace {

using namespace std::chrono_literals;

// Long enough for a loaded machine's bus to answer (a few milliseconds as a rule), short enough
// that a pupil still sees the menu promptly.
constexpr auto BusBound = 1500ms;

// An address that refuses at once, so Qt gives up on the bus without waiting.
constexpr char NoBus[] = "unix:path=/nonexistent/vaporica/no-bus";

const char SessionBusSilent[] = "デスクトップのセッションバス (D-Bus) が応答しません。"
                                "読み上げ（アクセシビリティ）なしで始めます";
const char AccessibilityServiceSilent[] =
    "読み上げ（アクセシビリティ）のサービスが応答しません。読み上げなしで始めます";
const char AccessibilityBusSilent[] =
    "読み上げ（アクセシビリティ）のバスが応答しません。読み上げなしで始めます";

// The session bus as the D-Bus library finds it: the variable, or else the user's bus in the
// runtime directory (where a desktop started without the variable still has one).
QByteArray sessionBusAddress() {
    const QByteArray named = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!named.isEmpty() || qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return named;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat status {};
    if (runtime.isEmpty() || ::stat((runtime + "/bus").constData(), &status) != 0 ||
        !S_ISSOCK(status.st_mode))
        return {};
    return "unix:path=" + runtime + "/bus";
}

void say(const char *text) {
    std::fprintf(stderr, "ヴァポリカ: %s\n", text);
    std::fflush(stderr);
}

} // namespace

void dropUnusableScaleFactor() {
    const QByteArray value = qgetenv("QT_SCALE_FACTOR");
    if (value.isEmpty())
        return;
    bool isNumber = false;
    const double scale = value.toDouble(&isNumber);
    if (isNumber && std::isfinite(scale) && scale > 0)
        return;
    std::fprintf(
        stderr,
        "ヴァポリカ: QT_SCALE_FACTOR=%s は使えません（1.5 や 2 のような正の数で指定します）。"
        "倍率の指定なしで始めます\n",
        value.left(40).constData());
    qunsetenv("QT_SCALE_FACTOR");
}

void avoidSilentBuses() {
    const QByteArray session = sessionBusAddress();
    const QByteArray named = qgetenv("AT_SPI_BUS_ADDRESS");
    QByteArray a11y = named;
    const BusAnswer sessionAnswer = session.isEmpty() ? BusAnswer::Unreachable
                                    : named.isEmpty() ? askAccessibilityBus(session, BusBound, a11y)
                                                      : probeBus(session, BusBound);
    if (sessionAnswer == BusAnswer::Silent || sessionAnswer == BusAnswer::ServiceSilent) {
        say(sessionAnswer == BusAnswer::Silent ? SessionBusSilent : AccessibilityServiceSilent);
        // Qt asks the accessibility service over the session bus: without the one, the other.
        qputenv("DBUS_SESSION_BUS_ADDRESS", NoBus);
        qputenv("AT_SPI_BUS_ADDRESS", NoBus);
        return;
    }
    if (!a11y.isEmpty() && probeBus(a11y, BusBound) == BusAnswer::Silent) {
        say(AccessibilityBusSilent);
        qputenv("AT_SPI_BUS_ADDRESS", NoBus);
    }
}

namespace {

// Whether the desktop asks applications for their accessibility, as Qt's bridge decides it:
// a screen reader (or another assistive tool) is on, or the environment forces it.
bool accessibilityAsked(int boundMs) {
    if (qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
        return true;
    QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected())
        return false;
    for (const char *property : {"ScreenReaderEnabled", "IsEnabled"}) {
        QDBusMessage get = QDBusMessage::createMethodCall(
            QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QStringLiteral("org.a11y.Status") << QString::fromLatin1(property);
        // Nobody asked where no accessibility service runs; this must not start one.
        get.setAutoStartService(false);
        const QDBusMessage reply = session.call(get, QDBus::Block, boundMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
            reply.arguments().first().value<QDBusVariant>().variant().toBool())
            return true;
    }
    return false;
}

class ActivationWait : public QAccessible::ActivationObserver {
public:
    explicit ActivationWait(QEventLoop &loop) : loop_(loop) {}
    void accessibilityActiveChanged(bool active) override {
        if (active)
            loop_.quit();
    }

private:
    QEventLoop &loop_;
};

} // namespace

void awaitScreenReaderBridge() {
    // The first question about accessibility makes Qt start its bridge, which then asks the
    // session bus where the accessibility bus is and connects when the answer comes.
    if (QAccessible::isActive())
        return;
    QElapsedTimer spent;
    spent.start();
    const int bound = int(std::chrono::milliseconds(BusBound).count());
    if (!accessibilityAsked(bound))
        return;
    QEventLoop loop;
    ActivationWait wait(loop);
    QAccessible::installActivationObserver(&wait);
    QTimer::singleShot(std::max(0, bound - int(spent.elapsed())), &loop, &QEventLoop::quit);
    if (!QAccessible::isActive())
        loop.exec();
    QAccessible::removeActivationObserver(&wait);
    if (!QAccessible::isActive())
        say("読み上げ（アクセシビリティ）の準備が 1.5 秒で整いません。メニューが読み上げられない"
            "ときは Tab キーを押してください");
}

void reportMissingMinchoFaces() {
    if (minchoFacesInstalled())
        return;
    say("明朝体のフォント（IPA明朝・IPA P明朝）が見つかりません。文字が四角で表示されます。"
        "sudo apt-get install fonts-ipafont-mincho で入れてください");
}

} // namespace vaporica
