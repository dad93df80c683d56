#pragma once

// One file that carries a school's three tables from the PC where they were edited to every PC of
// a lab: the editor's 「書き出す」 writes it, `vaporica-make-material --system FILE` applies it.
//
// The file is text up to each table: a version line, a note for whoever opens it, then for each
// table a line「name size sha256」followed by exactly its bytes, and an end line. The sizes find a
// file cut short in a copy, the digests a file changed on the way; either is refused whole.

#include <QString>
#include <QStringList>

namespace vaporica::material {

inline const QString TablesFileSuffix = QStringLiteral(".vaporica-tables");

// The three tables a tables folder holds and a tables file carries.
QStringList tableNames();

// Writes the tables of `tablesDir` into `file` (all at once: an existing file stays as it was when
// writing fails). Throws std::runtime_error with a message for the teacher naming the file.
void writeTablesFile(const QString &tablesDir, const QString &file);

// Writes the three tables of `file` into the existing folder `into`. A file that is not a tables
// file, is of a later version, cut short or changed is refused: std::runtime_error naming the file
// and what is wrong with it, and nothing written.
void unpackTablesFile(const QString &file, const QString &into);

} // namespace vaporica::material
