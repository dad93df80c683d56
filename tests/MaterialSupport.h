#pragma once

// Running the teacher's tools as a teacher does: the generator on a copy of the shipped tables
// with a few edits, the checker on a copy of the built data directory.

#include "DataDirectoryCopy.h"

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

// The temporary folder a DataCopy lives in, made before the copy is.
struct TemporaryRoot {
    QTemporaryDir dir;
};

// A copy of the built data directory that a case may damage, removed with it.
class DataCopy : private TemporaryRoot, public testdata::DataDirectoryCopy {
public:
    DataCopy() : DataDirectoryCopy(QStringLiteral(VAPORICA_BUILD_DIR), dir.path()) {}
};

} // namespace vaporica::test
