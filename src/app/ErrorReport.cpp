#include "app/ErrorReport.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace vaporica {

namespace {
// Only a real display has someone to press OK; under the offscreen platform the box would wait
// for ever, so the line on stderr is the whole report there.
bool hasRealDisplay() {
    const QString platform = QGuiApplication::platformName();
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr &&
           platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void standardReport(const RuntimeError &error) {
    const QString line = error.reportLine();
    std::fprintf(stderr, "ヴァポリカ: %s\n", line.toUtf8().constData());
    std::fflush(stderr);
    if (hasRealDisplay())
        QMessageBox::critical(nullptr, QStringLiteral("ヴァポリカ"), line);
}

} // namespace

void useStandardErrorReporter() {
    setErrorReporter(standardReport);
}

} // namespace vaporica
