#pragma once

namespace vaporica {

// What the desktop around the program may get wrong before its first window: each problem is
// said once on standard error and the program starts without the part concerned.

// A QT_SCALE_FACTOR that is no positive number would leave every window unmapped: it is dropped.
void dropUnusableScaleFactor();

// A session or accessibility bus that takes the connection and never answers would hold the
// program before its first window (Qt waits for it with no time-out): the program then starts
// without the accessibility bridge. Runs before the application object exists.
void avoidSilentBuses();

// Where a screen reader is on, Qt's bridge to it comes up only when the session bus has answered
// a question it asks without waiting; a menu shown before then is never announced. The first
// window waits for the bridge, within a bound. Needs the application object.
void awaitScreenReaderBridge();

// Every caption is drawn in a Mincho face; without one they are empty boxes. Needs the
// application object.
void reportMissingMinchoFaces();

} // namespace vaporica
