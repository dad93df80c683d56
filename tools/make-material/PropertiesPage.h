#pragma once

#include "Tables.h"

#include <QImage>
#include <QList>
#include <QString>

namespace vaporica::material {

inline constexpr int PropertiesWidth = 342;
inline constexpr int PropertiesHeight = 237;

// One gas's page: name and formula in a band (with a red badge when toxic), then labelled rows for
// colour and odour, water, weight against air, collection, drying agent, test, other properties
// and caution. Lines break only where the table marks them ('|'); a line too wide for its row, or
// rows too many for the page, is an error naming the gas, the row and the line.
// At `scale` 2 the same page is drawn at twice the size.
QImage propertiesPage(const GasRow &gas, int scale = 1);

// The page's rows, top to bottom, each with its label and its text as the table gives it ('|'
// where a line breaks); a caution is drawn in red.
struct PropertiesRow {
    QString label;
    QString text;
    bool danger = false;
};
QList<PropertiesRow> propertiesRows(const GasRow &gas);

} // namespace vaporica::material
