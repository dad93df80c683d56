#pragma once

#include <QString>

namespace vaporica {

class Form;

enum class ScreenId { Menu, GasQuiz, ApparatusQuiz, Summary, Properties };

// Removes one trailing directory separator, so that a root directory gives an empty prefix and
// every data path still has exactly one separator after it.
QString trimDataRoot(QString directory);

// Sets DataRoot from the executable's directory and shows the menu.
void StartUp(const QString &executableDirectory);

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
Form *currentScreen();

// Deletes whatever screen is still loaded and forgets that the program ended; for a clean shutdown
// and for tests that start the program anew.
void resetNavigation();

} // namespace vaporica
