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

// Reading a plate ahead keeps its picture at twice the size for the screen that shows it. A file
// that cannot be read is left for that screen to report, in its turn.
QList<std::function<void()>> plateReads() {
    QList<std::function<void()>> reads;
    const auto read = [&](const QString &prefix, int n) {
        reads.append([path = PicturePath(prefix, n)] {
            try {
                loadPicture(path);
            } catch (const RuntimeError &) {
            }
        });
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

// The quiz screens and the properties browser, the largest windows, in layout pixels.
constexpr QSize LargestScreen(766, 540);

// The pixels of the next two windows (the one shown and the one built beside it during a switch),
// touched while the menu is read, so that their first visit faults no page.
void memoryForTwoWindows(qreal ratio) {
    const QSize device = (QSizeF(LargestScreen) * ratio).toSize();
    makeMemoryReady(2 * std::size_t(device.width()) * std::size_t(device.height()) * 4);
}

QList<std::function<void()>> preparationsForScreens(qreal ratio) {
    return plateReads() << [ratio] { memoryForTwoWindows(ratio); };
}

} // namespace

void prepareScreensAhead(qreal ratio) {
    prepareArtwork(ratio);
    for (const auto &job : preparationsForScreens(ratio))
        job();
}

void StartUp(const QString &executableDirectory) {
    hostTheScreens();
    DataRoot = trimDataRoot(QDir::toNativeSeparators(executableDirectory));
    guarded([] { ScreenSwitch(ScreenId::Menu); });
    // On a denser screen the other screens' artwork is rendered, and the plates the gas quiz shows
    // are read at twice the size, while the pupil reads the menu.
    prepareArtworkOnceShown(running, preparationsForScreens(qGuiApp->devicePixelRatio()));
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
