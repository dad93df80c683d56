#include "app/Navigation.h"

#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "base/RuntimeError.h"
#include "base/SharedVariables.h"
#include "platform/MemoryReuse.h"
#include "screens/ScreenFactory.h"
#include "widgets/Form.h"
#include "widgets/ScalablePicture.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTimer>
#include <cstdio>

namespace vaporica {

namespace {
Form *running = nullptr;

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

// For the scripts and tests that drive the program: with VAPORICA_REPORT_SCREENS set, one line on
// stderr as each screen shows, so they need not guess when start-up is done.
void reportShown(const Form &form) {
    if (qEnvironmentVariableIsSet("VAPORICA_REPORT_SCREENS"))
        std::fprintf(stderr, "ヴァポリカ: 画面「%s」を表示しました\n",
                     form.windowTitle().toUtf8().constData());
}

void prepareWhileShown(Form *shown, ScreenId target);

void switchTo(ScreenId target) {
    unload(running);
    running = nullptr;
    Form *next = createScreen(target);
    running = next;
    next->Form_Load();
    if (programHasEnded())
        return;
    next->showCentred();
    reportShown(*next);
    prepareWhileShown(next, target);
}

void unloadRunning() {
    unload(running);
    running = nullptr;
}

// The screens reach the navigation through the program's life, which knows nothing of them.
void hostTheScreens() {
    setScreenHost({switchTo, unloadRunning});
}
} // namespace

QString trimDataRoot(QString directory) {
    const QString separator = QDir::separator();
    if (directory.endsWith(separator) || directory.endsWith(QLatin1Char('/')))
        directory.chop(1);
    return directory;
}

namespace {

// Reading a picture ahead keeps it at twice the size for the screen that shows it. A file that
// cannot be read is left for that screen to report, in its turn.
std::function<void()> readAhead(const QString &path) {
    return [path] {
        try {
            loadPicture(path);
        } catch (const RuntimeError &) {
        }
    };
}

QList<std::function<void()>> plateReads() {
    QList<std::function<void()>> reads;
    const auto read = [&](const QString &prefix, int n) {
        reads.append(readAhead(PicturePath(prefix, n)));
    };
    for (int n = 1; n <= GasCount; ++n) {
        read(fragment::GasNormal, n);
        read(fragment::GasHighlighted, n);
    }
    for (int n = 1; n <= ReagentCount; ++n) {
        read(fragment::ReagentNormal, n);
        read(fragment::ReagentHighlighted, n);
    }
    return reads;
}

// The pixels of the next two windows (the one shown and the one built beside it during a switch),
// touched once while the pupil reads this screen, so that the next first visit faults no page:
// what was read ahead may have taken the memory freed before.
void memoryForTheNextWindows() {
    const QSize device = (QSizeF(largestWindow()) * qGuiApp->devicePixelRatio()).toSize();
    makeMemoryReady(2 * std::size_t(device.width()) * std::size_t(device.height()) * 4);
}

// What is done on a denser screen while the pupil reads the screen just shown. Once the gas quiz
// has drawn its question, the summary's card and set-up, the largest pictures a question shows,
// are read.
QList<std::function<void()>> whileShown(ScreenId shown) {
    QList<std::function<void()>> jobs;
    if (shown == ScreenId::GasQuiz) {
        const int q = CurrentQuestion;
        jobs << readAhead(PicturePath(fragment::Equation, q))
             << readAhead(PicturePath(fragment::Apparatus, ApparatusPicture(q)));
    }
    return jobs << memoryForTheNextWindows;
}

// The menu, where every pass begins, has the other screens' artwork rendered and the plates read
// as well (at its later visits little is left to do: what is kept is only checked).
void prepareWhileShown(Form *shown, ScreenId target) {
    if (target == ScreenId::Menu)
        prepareArtworkOnceShown(shown, plateReads() << memoryForTheNextWindows);
    else
        prepareOnceShown(shown, whileShown(target));
}

} // namespace

void prepareScreensAhead(qreal ratio) {
    prepareArtwork(ratio);
    for (const auto &read : plateReads())
        read();
    memoryForTheNextWindows();
}

void StartUp(const QString &executableDirectory) {
    hostTheScreens();
    DataRoot = trimDataRoot(QDir::toNativeSeparators(executableDirectory));
    guarded([] { ScreenSwitch(ScreenId::Menu); });
}

Form *currentScreen() {
    return running;
}

void resetNavigation() {
    hostTheScreens();
    delete running;
    running = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    resetProgramLife();
}

} // namespace vaporica
