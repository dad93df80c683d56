#include "app/DisplayCheck.h"

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

// What stands in the way: a platform plugin asked for by name that Qt cannot use, else the X
// display.
QByteArray why() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return "表示用プラグイン " + platform.left(40) +
               " を使えません (QT_QPA_PLATFORM=" + platform.left(40) +
               ")。QT_QPA_PLATFORM を消すか xcb にしてください";
    const QByteArray display = qgetenv("DISPLAY");
    return display.isEmpty() ? QByteArray("DISPLAY が設定されていません")
                             : "ディスプレイ " + display.left(40) + " に接続できません";
}

void holdOrGiveUp(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type != QtFatalMsg) {
        held.append({type, message});
        return;
    }
    std::fprintf(stderr, "ヴァポリカ: 画面を開けません (%s)\n", why().constData());
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
