#pragma once

// Running the teacher's tools as a teacher does: the generator on a copy of the shipped tables
// with a few edits, the checker on a copy of the built data directory.

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace vaporica::test {

// One edit of a table's text: `before` replaced by `after` (once); nothing when `before` is empty.
struct TableEdit {
    const char *table;
    QString before, after;
};

struct ToolRun {
    int status = -1;
    QString report; // standard error
    QString said;   // standard output
    // Both, one line each, for tests that look for a whole line.
    QStringList lines() const;
};

// Copies the shipped tables into `tables`, applying the edits.
void copyTables(const QString &tables, const QList<TableEdit> &edits);

// Runs the built generator on `tables`, writing into `output`.
ToolRun
runGenerator(const QString &tables, const QString &output,
             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// Runs the generator on a copy of the shipped tables with the edits, writing into `output` (an
// empty one: into the tables' own folder).
ToolRun runOnEditedTables(const QString &output, const QList<TableEdit> &edits);

// Runs the built checker on a data directory.
ToolRun
runChecker(const QString &dir,
           const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// The folders of a data directory.
QStringList dataFolders();

// A copy of the built data directory that a case may damage.
class DataCopy {
public:
    DataCopy();
    QString root() const { return dir_.path(); }
    QString path(const QString &relative) const { return dir_.filePath(relative); }
    QByteArray read(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    void remove(const QString &relative) const;
    // Replaces one line (1-based) of a text file.
    void replaceLine(const QString &relative, int line, const QByteArray &text) const;

private:
    QTemporaryDir dir_;
};

} // namespace vaporica::test
