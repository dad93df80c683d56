#pragma once

// The gas and reagent name plates. The screens draw their design-time pictures with these and the
// material generator writes the same plates to the data directory, so both always agree.

#include <QImage>
#include <QString>

namespace vaporica {

inline constexpr int GasPlateWidth = 120;
inline constexpr int GasPlateHeight = 40;
inline constexpr int ReagentPlateWidth = 180;
inline constexpr int ReagentPlateHeight = 40;

// The names drawn on the plates, gas 1..14 and reagent 1..24; any other number is a subscript
// error naming the table.
QString gasName(int gas);
QString reagentName(int reagent);

// White name on a rounded, bevelled sky-blue plate; highlighted: a lit orange plate.
QImage gasPlate(int gas, bool highlighted);
// White name on a rounded, bevelled green plate; highlighted: the same lit orange plate as a gas.
QImage reagentPlate(int reagent, bool highlighted);

} // namespace vaporica
