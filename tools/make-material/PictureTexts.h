#pragma once

#include "Tables.h"

#include <QString>

namespace vaporica::material {

// Beside each equation picture and each properties page, the words it shows as a UTF-8 text file
// of the same name (siki(3).txt, seisitu(1).txt), which the program gives a screen reader. The
// apparatus drawings have none and read as their role.
void writePictureTexts(const QString &root, const Tables &tables);

// The words themselves.
QString equationText(const QuestionRow &question);
QString propertiesText(const GasRow &gas);

} // namespace vaporica::material
