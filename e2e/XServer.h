#pragma once

// A private X server of its own for whatever runs a program in a real window: the end-to-end
// cases and the start-up bench. Needs only Qt Core.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThread>

namespace vaporica::e2e {

// A private X server ended with its owner; its display stays empty when it did not start.
class XServer {
public:
    XServer(const QString &work, QSize size) {
        // Xvfb chooses a free display itself and writes its number to descriptor 3. -noreset: by
        // default the server resets when its last client leaves, and a program starting in that
        // moment cannot connect.
        const QString numberFile = work + QStringLiteral("/display");
        QFile::remove(numberFile); // an earlier server's, in the same folder, is no answer
        server_.start(
            QStringLiteral("bash"),
            QStringList{QStringLiteral("-c"),
                        QStringLiteral("exec Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "
                                       "\"$1\" 3>\"$0\" 2>/dev/null"),
                        numberFile,
                        QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height())});
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            QFile file(numberFile);
            if (file.open(QIODevice::ReadOnly)) {
                const QByteArray number = file.readAll().trimmed();
                if (!number.isEmpty()) {
                    display_ = QStringLiteral(":") + QString::fromLatin1(number);
                    return;
                }
            }
            QThread::msleep(50);
        }
    }
    ~XServer() {
        server_.kill();
        server_.waitForFinished(5000);
    }
    const QString &display() const { return display_; }
    // What the program needs to show its windows here; at `scale` device pixels per layout pixel
    // when one is given.
    QProcessEnvironment environment(double scale = 0) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), display_);
        if (scale > 0)
            env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
        return env;
    }

private:
    QProcess server_;
    QString display_;
};

} // namespace vaporica::e2e
