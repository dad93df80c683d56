#pragma once

// Publishing the teacher's saved tables: for every user of this PC, or as one file for the PCs of
// a lab.

#include <QString>

namespace vaporica::editor {
// What happened, in Japanese words for the teacher (empty when ok and nothing to say).
struct PublishOutcome {
    bool ok = false;
    QString message;
};
// Installs the saved tables in tablesDir for every user of this PC (asks for the admin password).
PublishOutcome publishForEveryone(const QString &tablesDir);
// Writes one file that an IT admin copies to every PC of a lab.
PublishOutcome exportTables(const QString &tablesDir, const QString &file);
} // namespace vaporica::editor
