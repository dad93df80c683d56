#include "app/StartEnvironment.h"

#include "drawing/Fonts.h"
#include "platform/BusProbe.h"

#include <QByteArray>
#include <QtGlobal>

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

void reportMissingMinchoFaces() {
    if (minchoFacesInstalled())
        return;
    say("明朝体のフォント（IPA明朝・IPA P明朝）が見つかりません。文字が四角で表示されます。"
        "sudo apt-get install fonts-ipafont-mincho で入れてください");
}

} // namespace vaporica
