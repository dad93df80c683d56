#pragma once

#include "Tables.h"

#include <QImage>

namespace vaporica::material {

inline constexpr int PropertiesWidth = 342;
inline constexpr int PropertiesHeight = 237;

// One gas's page: name and formula in a band (with a red badge when toxic), then labelled rows for
// colour and odour, water, weight against air, collection, drying agent, test, other properties
// and caution. Lines break only where the table marks them ('|'); a line too wide for its row, or
// rows too many for the page, is an error naming the gas, the row and the line.
QImage propertiesPage(const GasRow &gas);

} // namespace vaporica::material
