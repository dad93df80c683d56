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

void holdOrGiveUp(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type != QtFatalMsg) {
        held.append({type, message});
        return;
    }
    const QByteArray display = qgetenv("DISPLAY");
    std::fprintf(stderr, "ヴァポリカ: 画面を開けません (%s)\n",
                 display.isEmpty() ? "DISPLAY が設定されていません"
                                   : ("ディスプレイ " + display + " に接続できません").constData());
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
