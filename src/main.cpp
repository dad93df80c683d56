#include "app/DisplayCheck.h"
#include "app/ErrorReport.h"
#include "app/Navigation.h"
#include "app/StartEnvironment.h"
#include "drawing/Fonts.h"
#include "platform/MemoryReuse.h"
#include "platform/Services.h"
#include "platform/SoundModule.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char *argv[]) {
    vaporica::keepFreedMemoryForReuse();
    vaporica::dropUnusableScaleFactor();
    vaporica::avoidSilentBuses();
    auto displayCheck = std::make_unique<vaporica::DisplayCheck>();
    QApplication app(argc, argv);
    displayCheck.reset();
    // The windows end the program themselves (close box, quit buttons); a hidden screen during a
    // switch must not count as the last window closing.
    app.setQuitOnLastWindowClosed(false);
    vaporica::installFontSubstitutes();
    vaporica::reportMissingMinchoFaces();
    vaporica::useProductionServices();
    vaporica::useStandardErrorReporter();
    vaporica::awaitScreenReaderBridge();
    vaporica::StartUp(QCoreApplication::applicationDirPath());
    int status = vaporica::programHasEnded() ? vaporica::programExitStatus() : app.exec();
    vaporica::resetNavigation();
    if (vaporica::soundModuleHoldsTheEnd()) {
        // Qt Multimedia's clean-up would wait for a sound that is still loading, for good.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
