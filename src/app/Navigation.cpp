#include "app/Navigation.h"

#include "app/ErrorReport.h"
#include "app/SharedVariables.h"
#include "platform/Form.h"
#include "screens/ScreenFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

namespace vaporica {

namespace {
Form *running = nullptr;
bool ended = false;
int exitStatus = 0;

// Hides the screen and stops its timers now; the object itself goes once its handler returns.
void unload(Form *form) {
    if (form == nullptr)
        return;
    for (QTimer *timer : form->findChildren<QTimer *>())
        timer->stop();
    form->markUnloaded();
    form->hide();
    form->deleteLater();
}
} // namespace

QString trimDataRoot(QString directory) {
    const QString separator = QDir::separator();
    if (directory.endsWith(separator) || directory.endsWith(QLatin1Char('/')))
        directory.chop(1);
    return directory;
}

void StartUp(const QString &executableDirectory) {
    DataRoot = trimDataRoot(QDir::toNativeSeparators(executableDirectory));
    guarded([] { ScreenSwitch(ScreenId::Menu); });
}

void ScreenSwitch(ScreenId target) {
    unload(running);
    running = nullptr;
    Form *next = createScreen(target);
    running = next;
    next->Form_Load();
    if (ended)
        return;
    next->showCentred();
}

void ProgramEnd() {
    endProgram(0);
}

void stopProgram(int status) {
    if (ended)
        return;
    ended = true;
    exitStatus = status;
    unload(running);
    running = nullptr;
}

void endProgram(int status) {
    stopProgram(status);
    QCoreApplication::exit(exitStatus);
}

bool programHasEnded() {
    return ended;
}
int programExitStatus() {
    return exitStatus;
}
Form *currentScreen() {
    return running;
}

void resetNavigation() {
    delete running;
    running = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ended = false;
    exitStatus = 0;
}

} // namespace vaporica
