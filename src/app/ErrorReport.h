#pragma once

#include "base/ProgramLife.h"

namespace vaporica {

// The program's own reporter: the line on stderr and, where someone can press OK, a modal box.
void useStandardErrorReporter();

} // namespace vaporica
