#pragma once

#include "base/ProgramLife.h"

#include <QString>

namespace vaporica {

class Form;

// Removes one trailing directory separator, so that a root directory gives an empty prefix and
// every data path still has exactly one separator after it.
QString trimDataRoot(QString directory);

// Sets DataRoot from the executable's directory and shows the menu.
void StartUp(const QString &executableDirectory);
// What the program prepares in the background once the menu has painted on a denser screen (the
// artwork, the plates at twice the size), done at once: for measuring.
void prepareScreensAhead(qreal ratio);

Form *currentScreen();

// Deletes whatever screen is still loaded and forgets that the program ended; for a clean shutdown
// and for tests that start the program anew.
void resetNavigation();

} // namespace vaporica
