#pragma once

#include <QImage>
#include <QString>

namespace vaporica::material {

// Writes the picture as a palette GIF through giflib: the exact colours when there are few enough,
// otherwise giflib's median-cut palette. With transparency, pixels that are transparent or pure
// grey (128, 128, 128) become the GIF's transparent colour, which is that grey (GIF89a); without,
// the file is GIF87a. Failure is a std::runtime_error naming the file and giflib's reason.
void writeGif(const QImage &picture, const QString &path, bool transparency);

} // namespace vaporica::material
