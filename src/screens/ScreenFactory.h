#pragma once

#include "app/Navigation.h"

namespace vaporica {

// Creates a screen afresh from its layout; the caller runs its Form_Load.
Form *createScreen(ScreenId id);

} // namespace vaporica
