#pragma once

#include "app/RuntimeError.h"

#include <functional>

namespace vaporica {

// Shows a runtime error to the person at the machine. The program's own reporter prints the line
// on stderr and shows a modal box; tests put a recorder in its place so nothing waits for OK.
using ErrorReporter = std::function<void(const RuntimeError &)>;

void setErrorReporter(ErrorReporter reporter);
void useStandardErrorReporter();

// Reports the error and ends the program with a non-zero status.
void failWith(const RuntimeError &error);

// Every event handler is entered through here: a runtime error inside it ends the program through
// the report; once the program has ended no further handler runs.
template <class Handler> void guarded(Handler &&handler);

bool programHasEnded();

} // namespace vaporica

#include "app/Navigation.h"

namespace vaporica {

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
