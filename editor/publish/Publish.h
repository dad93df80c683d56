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

// How publishForEveryone reaches root: pkexec on the package's helper, which runs
// `vaporica-make-material --system` on one tables folder. The tests stand in for both.
struct PrivilegedRun {
    QString pkexec;                 // empty: pkexec is not on this PC
    QString helper;                 // the helper as the package's polkit action names it
    int timeoutMs = 15 * 60 * 1000; // the password asked, then the data made
};
PrivilegedRun installedPrivilegedRun();
PublishOutcome publishForEveryone(const QString &tablesDir, const PrivilegedRun &run);
} // namespace vaporica::editor
