#pragma once

// The gas and reagent name plates. The material generator writes them to the data directory and
// the build pre-renders the normal looks as the screens' design-time pictures, so both agree.

#include "base/Names.h"

#include <QImage>
#include <QString>

namespace vaporica {

inline constexpr int GasPlateWidth = 120;
inline constexpr int GasPlateHeight = 40;
inline constexpr int ReagentPlateWidth = 180;
inline constexpr int ReagentPlateHeight = 40;

// White name on a rounded, bevelled deep-blue plate; highlighted: navy name on a pale sky plate.
// At `scale` 2 the same plate is drawn at twice the size, for a denser screen.
QImage gasPlate(int gas, bool highlighted, int scale = 1);
// White name on a rounded, bevelled deep-green plate; highlighted (a reagent of the question):
// black name on a pale yellow plate in a heavy black frame.
QImage reagentPlate(int reagent, bool highlighted, int scale = 1);

} // namespace vaporica
