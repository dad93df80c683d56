#pragma once

// What a data directory was made from, written by the generator beside the bank as
// 説明/material.tsv: the chemistry of the tables (each reagent's formula and state, each gas's
// formula and collection, each question's record, set-up drawing and equation) and, for every
// picture, words file and sound, what it was made from and a hash of its contents. With it the
// checker proves that each picture belongs to the question of the bank beside it, and runs the
// chemistry checks on a bank edited by hand.

#include "ApparatusArt.h"
#include "Findings.h"
#include "Tables.h"

#include <QList>
#include <QMap>
#include <QString>
#include <array>
#include <optional>

namespace vaporica::material {

// Question q's own set-up picture is souti(QuestionSetups + q); 1..9 are the plain drawings.
inline constexpr int QuestionSetups = 100;

// The set-up picture the properties browser shows for a gas, its value in taiou.txt: the picture
// of the first question that asks for the gas on the gas's drawing, with the reagents named and a
// coloured gas tinted; the plain drawing when no question does.
int propertiesSetup(const Tables &tables, const GasRow &gas);

// What question q's own set-up picture holds. A picture the properties browser also shows under a
// note of its own leaves the note's place empty.
SetupContents setupContentsOf(const Tables &tables, const QuestionRow &question);

// The six values of a question's record in mondai.txt: gas, reagent 1, reagent 2, generator,
// collection, set-up picture.
using Record = std::array<int, 6>;
Record recordOf(const QuestionRow &question);

struct MadeFile {
    QString source; // "問題 3", "気体 2", "薬品 5", "装置図 4" or "音"
    int question = 0;
    QString hash;
};

struct MaterialRecord {
    Tables tables;                 // reagents and gases as the checks need them, questions as made
    QList<Record> records;         // question q's record as made, at q - 1
    QMap<QString, MadeFile> files; // by path inside the data directory, '/'-separated
};

// Writes 説明/material.tsv under root, after every other file has been written there.
void writeMaterialRecord(const QString &root, const Tables &tables);

// The record beside the bank under root; nothing when there is none (a directory made by hand).
// A record that cannot be read is an error in the findings.
std::optional<MaterialRecord> readMaterialRecord(const QString &root, QList<Finding> &findings);

// The bank as the checker read it. A record or a gas's value that is out of range is 0.
struct BankValues {
    QList<Record> questions; // 20
    QList<int> questionLines;
    QList<int> gasApparatus; // 14
    QList<int> gasLines;
};

// Whether each picture, words file and sound is the one made (its hash), whether the pictures
// the bank names belong to its questions, and the chemistry of the bank's questions with the
// equations of their pictures.
QList<Finding> checkAgainstRecord(const QString &root, const MaterialRecord &record,
                                  const BankValues &bank);

} // namespace vaporica::material
