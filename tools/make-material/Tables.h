#pragma once

// The teacher-readable tables in material/: tab-separated, '#' lines are notes, the first other
// line names the columns. Every problem is reported with the file and line it stands on, and with
// the question it belongs to.

#include "Findings.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vaporica::material {

enum class State { Unknown, Solid, Liquid };

// The lines of cautions an equation card has room for.
// The teacher's three tables, as they are named in a tables folder and in every report.
inline const QString QuestionsTable = QStringLiteral("questions.tsv");
inline const QString GasesTable = QStringLiteral("gases.tsv");
inline const QString ReagentsTable = QStringLiteral("reagents.tsv");
// Where a school PC keeps the school's own tables; the package's stay beside the program.
inline const QString SchoolTablesDir = QStringLiteral("/etc/vaporica");

inline constexpr int MaxCautionLines = 2;
// The characters the properties screen's band over a set-up picture has room for.
inline constexpr int MaxApparatusNoteCharacters = 18;

struct ReagentRow {
    int line = 0;
    int number = 0;
    QString formula; // what the equation's left side holds: for a solution, what is dissolved
    State state = State::Unknown; // a solution is a liquid
    bool solution = false;        // written 水溶液: the formula is that of what is dissolved
    QString look;                 // how the set-up pictures draw it (ApparatusArt.h's looks)
    QString cells; // the row as written, for the record of what the data was made from
};

struct QuestionRow {
    int line = 0;
    int number = 0;
    // 0 where the table's cell could not be read; the checks that need it are then left out.
    int gas = 0;
    int reagent1 = 0, reagent2 = 0;
    int generator = 0;
    int collection = 0;
    int apparatus = 0; // the set-up drawing the question's picture is built on
    QString equation, overArrow, underArrow; // empty equation: not known
    QString reasons;      // one line under the equation: why this generator, why this collection
    QStringList cautions; // at most two lines on the card, in red
    QString cells;
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
    QString apparatusNote; // over the set-up picture on the properties screen; empty: none
    QString cells;
};

// Collection methods in the numbering of the collection pictures.
QString collectionName(int collection);

struct Tables {
    QList<ReagentRow> reagents;
    QList<GasRow> gases;
    QList<QuestionRow> questions;
};

// Reads the three tables in the material directory and checks them whole: the form of every
// cell, names against the program's tables, numbering and ranges, then the chemistry (Checks.h).
// Every problem is in the findings, none stops the reading; the tables are fit to draw from only
// when no finding is an error.
struct LoadedTables {
    Tables tables;
    QList<Finding> findings;
};
LoadedTables loadTables(const QString &materialDir, const QList<int> &apparatusNumbers);

// The names a mistyped one was probably meant as: the closest of `known` by edits, when close.
QStringList closestNames(const QString &name, const QStringList &known);

} // namespace vaporica::material
