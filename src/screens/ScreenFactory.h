#pragma once

#include "base/ProgramLife.h"

namespace vaporica {

class Form;

// Creates a screen afresh from its layout; the caller runs its Form_Load.
Form *createScreen(ScreenId id);

} // namespace vaporica
