#pragma once

// The one list of gas and reagent names: the screens name their pictures with it for assistive
// tools, and the material generator draws the plates and checks its tables against it.

#include <QString>

namespace vaporica {

// Gas 1..14 and reagent 1..24; any other number is a subscript error naming the table.
QString gasName(int gas);
QString reagentName(int reagent);

} // namespace vaporica
