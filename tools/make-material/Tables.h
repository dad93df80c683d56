#pragma once

// The teacher-readable tables in material/: tab-separated, '#' lines are notes, the first other
// line names the columns. Every problem is reported with the file and line it stands on.

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

namespace vaporica::material {

class TableError : public std::runtime_error {
public:
    explicit TableError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

struct QuestionRow {
    int line = 0;
    int number = 0;
    int gas = 0;
    int reagent1 = 0, reagent2 = 0;
    int generator = 0;
    int collection = 0;
    int apparatus = 0;
    QString equation, overArrow, underArrow;
    QString reasons; // one line under the equation: why this generator, why this collection
};

struct GasRow {
    int line = 0;
    int number = 0;
    QString formula;
    int apparatus = 0;
    int collection = 0;
    QString collectionNote; // follows the collection's name, e.g. another accepted method
    QString colourOdour;
    std::optional<QColor> swatch;
    // Properties entries; '|' marks where a line breaks.
    QString water, air, drying, test, notes;
    QString toxicity; // empty, 有毒 or 猛毒
    QString caution;
};

// Collection methods in the numbering of the collection pictures.
QString collectionName(int collection);

// Reads and cross-checks the three tables in the material directory: names against the program's
// tables, numbering, ranges, balanced equations, each gas's formula among its equations' products,
// collection agreeing between a gas and its questions, and apparatus numbers against the drawings.
struct Tables {
    QList<QuestionRow> questions;
    QList<GasRow> gases;
    // What is allowed but likely a slip, each naming the question and its line: printed, not fatal.
    QStringList warnings;
};
Tables loadTables(const QString &materialDir, const QList<int> &apparatusNumbers);

} // namespace vaporica::material
