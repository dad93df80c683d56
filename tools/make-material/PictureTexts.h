#pragma once

#include "ApparatusArt.h"
#include "Tables.h"

#include <QString>
#include <optional>

namespace vaporica::material {

// Beside each equation picture, properties page and set-up picture, the words it shows as a UTF-8
// text file of the same name (siki(3).txt, seisitu(1).txt, souti(103).txt), which the program
// gives a screen reader: every row the picture shows, read as sentences (no line-break marks, the
// comparison with air in words), and for a set-up what is drawn where.
void writePictureTexts(const QString &root, const Tables &tables);

// The words themselves. A set-up is a question's own (with its reagents) or a plain drawing.
QString equationText(const QuestionRow &question);
QString propertiesText(const GasRow &gas);
QString setupText(int drawing, const std::optional<SetupContents> &contents, const Tables &tables,
                  const QuestionRow *question);

} // namespace vaporica::material
