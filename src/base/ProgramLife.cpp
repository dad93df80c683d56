#include "base/ProgramLife.h"

#include <QCoreApplication>
#include <cstdio>

namespace vaporica {

namespace {
ScreenHost host;
bool ended = false;
int exitStatus = 0;

void reportOnStandardError(const RuntimeError &error) {
    std::fprintf(stderr, "ヴァポリカ: %s\n", error.reportLine().toUtf8().constData());
    std::fflush(stderr);
}
ErrorReporter reporter = reportOnStandardError;
} // namespace

void setScreenHost(ScreenHost replacement) {
    host = std::move(replacement);
}

void ScreenSwitch(ScreenId target) {
    if (host.switchTo)
        host.switchTo(target);
}

void ProgramEnd() {
    endProgram(0);
}

void stopProgram(int status) {
    if (ended)
        return;
    ended = true;
    exitStatus = status;
    if (host.unloadRunning)
        host.unloadRunning();
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

void resetProgramLife() {
    ended = false;
    exitStatus = 0;
}

void setErrorReporter(ErrorReporter replacement) {
    reporter = replacement ? std::move(replacement) : reportOnStandardError;
}

void failWith(const RuntimeError &error) {
    if (programHasEnded())
        return;
    stopProgram(1);
    reporter(error);
    endProgram(1);
}

} // namespace vaporica
