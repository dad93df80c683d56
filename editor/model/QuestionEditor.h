#pragma once

// The twenty questions of a teacher's tables as the editor changes them: each question's cells,
// the shipped question it may differ from, undo within the session, the generator's checks after
// every edit (each finding tied to the field it concerns) and the pictures the pupils will see,
// drawn by the generator's own code. No window: the editor's window and the tests drive it.

#include "Findings.h"
#include "Tables.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace vaporica::editor {

// The cells of a question a teacher edits, each a column of questions.tsv.
enum class Field {
    Gas,
    Reagent1,
    Reagent2,
    Generator,
    Collection,
    Drawing,
    Equation,
    OverArrow,
    UnderArrow,
    Reasons,
    Cautions,
    None, // a finding about no one field: another table, the whole file
};
inline constexpr int FieldCount = int(Field::None);
// The column's heading in questions.tsv: 「気体」, 「薬品1」, …
QString columnOf(Field field);

// The field a finding of the generator's checks concerns, from its words.
Field fieldOf(const material::Finding &finding);

// The folder whose tables are in force on this PC: the school's in /etc/vaporica where it has
// them, else the shipped examples.
QString tablesInForce(const QString &shippedDir);

class QuestionEditor {
public:
    // Reads questions.tsv, gases.tsv and reagents.tsv from tablesDir, each from shippedDir where
    // tablesDir lacks it; the shipped questions are what 「元に戻す」 restores. Nothing opened and
    // a report in Japanese (naming the file and what to do) when a table cannot be read at all.
    struct Opened;
    static Opened open(const QString &tablesDir, const QString &shippedDir);

    int questionCount() const { return int(rows_.size()); }
    QString cell(int question, Field field) const;
    // A teacher's edit: typing on in the same field is one step of undo.
    void setCell(int question, Field field, const QString &value);

    bool differsFromShipped(int question) const;
    void revert(int question);
    void revertAll();
    bool canUndo() const { return !undo_.isEmpty(); }
    bool canRedo() const { return !redo_.isEmpty(); }
    void undo();
    void redo();
    // Whether there are edits since opening or the last save.
    bool unsaved() const { return rows_ != savedRows_; }

    // The generator's findings on the tables as they now stand.
    const QList<material::Finding> &findings() const { return findings_; }
    QList<material::Finding> findingsOf(int question, Field field) const;
    // The tables as the generator reads them (a row with an error may have cells left at 0).
    const material::Tables &tables() const { return tables_; }
    // What the edits have made of questions.tsv.
    QByteArray questionsText() const;

    // The pictures as the generator draws them for the question: its equation card (in the type
    // of the whole bank) and its own set-up picture. Nothing, with the reason in *why, when the
    // question's cells do not allow the picture. At scale 2 they are drawn again at twice the size,
    // as the generator's name@2x files, for a denser screen.
    std::optional<QImage> equationCard(int question, QString *why = nullptr, int scale = 1) const;
    std::optional<QImage> setupPicture(int question, QString *why = nullptr, int scale = 1) const;

    // Writes the three tables into dir. Refused, with the reason, while an error remains or
    // when the folder cannot be written; returns an empty string when saved.
    QString save(const QString &dir);
    // The same, for a copy that leaves the edits unsaved (the question tried in the pupils'
    // program).
    QString writeTables(const QString &dir) const;

private:
    QuestionEditor() = default;
    void check();
    qsizetype columnIndex(Field field);
    QString cellOf(const QStringList &row, Field field) const;

    QStringList notes_;   // the '#' lines above the heading, kept as written
    QStringList columns_; // the heading
    QList<QStringList> rows_, shippedRows_, savedRows_;
    QStringList shippedColumns_;
    QByteArray gases_, reagents_;
    struct Step {
        QList<QStringList> rows;
        int question = 0;
        Field field = Field::None;
    };
    QList<Step> undo_, redo_;
    std::unique_ptr<QTemporaryDir> scratch_; // where the checks read the tables as edited
    material::Tables tables_;
    QList<material::Finding> findings_;
};

struct QuestionEditor::Opened {
    std::unique_ptr<QuestionEditor> editor;
    QString report; // why nothing was opened
};

} // namespace vaporica::editor
