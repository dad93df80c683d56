#pragma once

// The chemistry a pupil would learn wrongly, checked alike on the tables the generator reads and
// on the bank a data directory holds (with what its pictures were made from).

#include "Findings.h"
#include "Tables.h"

namespace vaporica::material {

// Where the questions and the gases stand, as findings name them.
struct CheckedFiles {
    QString questions; // "questions.tsv" or "説明/mondai.txt"
    QString gases;     // "gases.tsv" or "説明/taiou.txt"
};

// Errors: a reagent's formula neither on the equation's left side nor over or under its arrow;
// the gas not among the products; atoms that do not balance; a set-up drawing of another
// generator or collection; a collection other than the gas's. Warnings: a generator that does not
// fit the reagents' states and heating, a preparation another question already has, one reagent
// named twice. A question's cell that could not be read (0, or an empty equation) leaves out the
// checks that need it.
QList<Finding> checkChemistry(const Tables &tables, const CheckedFiles &files);

// The generators that fit two reagents (liquid or not) and whether the question heats them:
// solid + liquid unheated → 1, liquids heated → 2 (or 4), solids heated → 3, solid + liquid
// heated → 4.
QList<int> fittingGenerators(bool liquid1, bool liquid2, bool heated);
// Whether the conditions over or under the arrow say the reagents are heated.
bool isHeated(const QuestionRow &question);

} // namespace vaporica::material
