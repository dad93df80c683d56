#include "app/DisplayCheck.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace vaporica {

namespace {

struct Held {
    QtMsgType type;
    QString message;
};
QList<Held> held;

// The platform plugin that failed, other than the X11 one, and whether it is missing: as Qt names
// it in its held lines ("Could not find ..." / "Could not load ... even though it was found"), or
// else the one QT_QPA_PLATFORM asks for, whose own fatal message came first (eglfs without a
// graphics device). Empty when X11 failed: then the display is what is wrong.
QString otherPluginTrouble(bool &missing) {
    static const QRegularExpression named(
        QStringLiteral("Could not (find|load) the Qt platform plugin \"([^\"]*)\""));
    QString other;
    for (const Held &line : held) {
        const QRegularExpressionMatch match = named.match(line.message);
        if (!match.hasMatch())
            continue;
        if (match.captured(2) == QLatin1String("xcb"))
            return {};
        other = match.captured(2);
        missing = match.captured(1) == QLatin1String("find");
    }
    if (!other.isEmpty())
        return other;
    const QString asked = qEnvironmentVariable("QT_QPA_PLATFORM").section(u';', 0, 0);
    return asked.isEmpty() || asked.startsWith(QLatin1String("xcb")) ? QString() : asked;
}

// Why no window could open: the display for X11, or the platform plugin asked for instead, with
// where it was asked for.
QByteArray whyNoScreen() {
    bool missing = false;
    if (const QString plugin = otherPluginTrouble(missing).left(40); !plugin.isEmpty()) {
        const QByteArray what = "Qt の画面プラグイン「" + plugin.toUtf8() + "」" +
                                (missing ? "がありません" : "で画面を開けません");
        const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
        return what + (asked.contains(plugin.toUtf8())
                           ? "。QT_QPA_PLATFORM=" + asked.left(40) +
                                 " を外すか、QT_QPA_PLATFORM=xcb にしてください"
                           : QByteArray("。-platform を付けずに起動してください"));
    }
    const QByteArray display = qgetenv("DISPLAY");
    return display.isEmpty() ? QByteArray("DISPLAY が設定されていません")
                             : "ディスプレイ " + display.left(40) + " に接続できません";
}

void holdOrGiveUp(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type != QtFatalMsg) {
        held.append({type, message});
        return;
    }
    std::fprintf(stderr, "ヴァポリカ: 画面を開けません (%s)\n", whyNoScreen().constData());
    for (const Held &line : held)
        std::fprintf(stderr, "  %s\n", line.message.toUtf8().constData());
    std::fprintf(stderr, "  %s\n", message.toUtf8().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

DisplayCheck::DisplayCheck() : previous_(qInstallMessageHandler(holdOrGiveUp)) {}

DisplayCheck::~DisplayCheck() {
    qInstallMessageHandler(previous_);
    for (const Held &line : held)
        qt_message_output(line.type, QMessageLogContext(), line.message);
    held.clear();
}

} // namespace vaporica
