#pragma once

#include <QFile>
#include <QString>

namespace vaporica {

// Opens a data file for reading. A missing file is "file not found" (53); a directory, a named
// pipe, a device or a file without read permission is "cannot be read" (75); both name the path.
void openDataFile(const QString &path, QFile &file);

} // namespace vaporica
