#pragma once

// The installed data of a school PC, made in one step from the tables in force:
//   make-material --system TABLES_DIR   the teacher's tables become the school's, and the data
//   make-material --system --reset      back to the package's tables
//   make-material --system --remake     the data again from the tables in force (the package's
//                                       maintainer script runs this at every install and upgrade)
// The tables in force are the school's in /etc/vaporica where it has them, else the package's in
// /usr/share/vaporica; the data made from them lies in /var/lib/vaporica, which the data folders
// beside the installed program link to. Every run is logged in /var/log/vaporica.log.

#include <QString>

namespace vaporica::material {

bool isSystemRun(int argc, char **argv);
int runSystem(int argc, char **argv);

// A plain run may write neither the installed data (it would no longer follow the tables in
// force, and the next upgrade would silently undo it) nor the installed program's folder, whose
// data folders are the package's links.
void refuseInstalledData(const QString &root);

} // namespace vaporica::material
