#pragma once

#include "Tables.h"

#include <QImage>
#include <QStringList>

namespace vaporica::material {

inline constexpr int PropertiesWidth = 342;
inline constexpr int PropertiesHeight = 237;

// One gas's page: name and formula in a band (with a red badge when toxic), then labelled rows for
// colour and odour, water, weight against air, collection, test, other properties and caution.
// Text that cannot be fitted legibly is an error naming the gas; a wrapped line that leaves only a
// character or three on its last line is added to the warnings for the teacher to reword.
QImage propertiesPage(const GasRow &gas, QStringList *warnings);

} // namespace vaporica::material
