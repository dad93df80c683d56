#pragma once

#include <QString>

namespace vaporica {

// The words a teaching-material picture shows, for a screen reader: the UTF-8 text file beside it
// with the picture's name and the suffix .txt (siki(3).txt beside siki(3).gif). The file is
// optional, so a teacher's own picture without one still loads and reads as its role; one that is
// not UTF-8 text is reported on the error output and read as absent.
QString pictureText(const QString &picturePath);

// The path of that text file.
QString pictureTextPath(const QString &picturePath);

// A short optional text file of the data directory, read as pictureText reads the words: empty
// when absent, reported on the error output and read as absent when it cannot be used.
QString dataText(const QString &path);

} // namespace vaporica
