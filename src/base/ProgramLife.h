#pragma once

#include "base/RuntimeError.h"

#include <functional>

namespace vaporica {

enum class ScreenId { Menu, GasQuiz, ApparatusQuiz, Summary, Properties };

// The program's life as the screens and controls see it: the next screen, the end with a status,
// the report of a runtime error. The app plugs its navigation in at start-up, so nothing below it
// includes the app that builds the screens.
struct ScreenHost {
    std::function<void(ScreenId)> switchTo; // unloads the running screen, builds and shows the next
    std::function<void()> unloadRunning;    // hides and unloads the running screen at once
};
void setScreenHost(ScreenHost host);

// Unloads the running screen at once (its timer can never tick again), builds the target, runs its
// Form_Load and then shows it centred.
void ScreenSwitch(ScreenId target);

// Ends the program at once: every window closes and no further handler runs.
void ProgramEnd();

// Ends the program with the given status (non-zero after a runtime error).
void endProgram(int status);

// The first half of endProgram: no handler runs any more and no window shows, but the event loop
// keeps going so that a report box can still be answered.
void stopProgram(int status);

bool programHasEnded();
int programExitStatus();

// Forgets that the program ended; for a clean shutdown and for tests that start the program anew.
void resetProgramLife();

// Shows a runtime error to the person at the machine. Until the app puts its reporter in place (the
// line and a modal box), the line goes to stderr; tests put a recorder there so nothing waits.
using ErrorReporter = std::function<void(const RuntimeError &)>;
void setErrorReporter(ErrorReporter reporter);

// Reports the error and ends the program with a non-zero status.
void failWith(const RuntimeError &error);

// Every event handler is entered through here: a runtime error inside it ends the program through
// the report; once the program has ended no further handler runs.
template <class Handler> void guarded(Handler &&handler) {
    if (programHasEnded())
        return;
    try {
        handler();
    } catch (const RuntimeError &error) {
        failWith(error);
    }
}

} // namespace vaporica
