#pragma once

#include <QImage>
#include <QString>

namespace vaporica {

// The largest width or height a data picture may declare. The program's widest window is under
// 800 pixels and a picture is drawn at its own size, clipped by its control, so nothing beyond
// that is ever seen; 2048 leaves a teacher's picture room to spare while one decoded picture stays
// at most 16 MB.
constexpr int MaxPictureSide = 2048;

// A picture file as the screens use it: its own pixels and, on a screen of more device pixels
// than layout pixels, the same picture drawn at twice the size when the data has one beside it
// (doubleSizePath). Used where a plain picture is, as its own pixels.
struct PictureFile {
    QImage pixels;
    QImage doubled; // null at one device pixel per layout pixel, or when there is none

    operator QImage() const { return pixels; }
};

// Reads the picture file anew at every call, so a file replaced on disk is seen at the next load
// (a picture at twice the size is kept while neither file changes). Only regular files in a raster
// format are read. A missing, unreadable, oversized or non-picture file is a runtime error naming
// the path; so is a damaged file at twice the size, or one that is not the same picture
// (doubleSizeMismatch).
PictureFile loadPicture(const QString &path);
// Forgets the pictures at twice the size kept so far: for measuring a first read.
void forgetKeptDoubles();
// One picture file alone, checked the same way, without the one beside it.
QImage loadPixels(const QString &path);

// Why `doubled` is not `single` drawn again at twice the size, for a teacher: not exactly twice
// the width and height, or, scaled down to it, unlike it somewhere (another picture, an old one
// left beside a replaced picture). Empty when it is.
QString doubleSizeMismatch(const QImage &single, const QImage &doubled);

// A picture whose number comes from a bank file: a missing one is reported together with where
// its number came from (`numberFrom`, e.g. "…/taiou.txt の気体 3（塩素）の装置図の番号 0"), since
// the fault is then in that file rather than in the picture folder.
PictureFile loadNumberedPicture(const QString &path, const QString &numberFrom);

} // namespace vaporica
