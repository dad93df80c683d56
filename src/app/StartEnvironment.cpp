#include "app/StartEnvironment.h"

#include "platform/BusProbe.h"
#include "platform/Fonts.h"

#include <QByteArray>
#include <QtGlobal>

#include <cmath>
#include <cstdio>

namespace vaporica {

namespace {

using namespace std::chrono_literals;

// Long enough for a loaded machine's bus to answer (a few milliseconds as a rule), short enough
// that a pupil still sees the menu promptly.
constexpr auto BusBound = 1500ms;

// An address that refuses at once, so Qt gives up on the bus without waiting.
constexpr char NoBus[] = "unix:path=/nonexistent/vaporica/no-bus";

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
    const QByteArray session = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    const QByteArray named = qgetenv("AT_SPI_BUS_ADDRESS");
    QByteArray a11y = named;
    if (!session.isEmpty() &&
        (named.isEmpty() ? askAccessibilityBus(session, BusBound, a11y)
                         : probeBus(session, BusBound)) == BusAnswer::Silent) {
        say("デスクトップのセッションバス (D-Bus) が応答しません。読み上げ（アクセシビリティ）"
            "なしで始めます");
        qputenv("DBUS_SESSION_BUS_ADDRESS", NoBus);
        qputenv("AT_SPI_BUS_ADDRESS", NoBus);
        return;
    }
    if (!a11y.isEmpty() && probeBus(a11y, BusBound) == BusAnswer::Silent) {
        say("読み上げ（アクセシビリティ）のバスが応答しません。読み上げなしで始めます");
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
