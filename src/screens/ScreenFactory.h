#pragma once

#include "base/ProgramLife.h"

#include <QRect>
#include <string_view>

namespace vaporica {

class Form;

// Creates a screen afresh from its layout; the caller runs its Form_Load.
Form *createScreen(ScreenId id);

// Where the screen's layout table puts item `index` of the control `name` (1 for a single
// control), in layout pixels of its window; null when the table holds no such control. The
// end-to-end tests click here, so a control moved in a table moves their clicks with it.
QRect placeInWindow(ScreenId id, std::string_view name, int index = 1);

// The inside of the largest screen's window, in layout pixels.
QSize largestWindow();

} // namespace vaporica
