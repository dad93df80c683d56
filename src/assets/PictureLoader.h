#pragma once

#include <QImage>
#include <QString>

namespace vaporica {

// The largest width or height a data picture may declare. The program's widest window is under
// 800 pixels and a picture is drawn at its own size, clipped by its control, so nothing beyond
// that is ever seen; 2048 leaves a teacher's picture room to spare while one decoded picture stays
// at most 16 MB.
constexpr int MaxPictureSide = 2048;

// Reads the picture file anew at every call (nothing is cached, so a file replaced on disk is seen
// at the next load). Only regular files in a raster format are read. A missing, unreadable,
// oversized or non-picture file is a runtime error naming the path.
QImage loadPicture(const QString &path);

// A picture whose number comes from a bank file: a missing one is reported together with where
// its number came from (`numberFrom`, e.g. "…/taiou.txt の気体 3（塩素）の装置図の番号 0"), since
// the fault is then in that file rather than in the picture folder.
QImage loadNumberedPicture(const QString &path, const QString &numberFrom);

} // namespace vaporica
