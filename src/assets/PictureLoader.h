#pragma once

#include <QImage>
#include <QString>

namespace vaporica {

// Reads the picture file anew at every call (nothing is cached, so a file replaced on disk is seen
// at the next load). A missing, unreadable or non-picture file is a runtime error naming the path.
QImage loadPicture(const QString &path);

} // namespace vaporica
