#pragma once

// Every data file is found by a fixed folder, a fixed name prefix and a number.

#include <QString>

namespace vaporica {

// Stored fragments; they use the backslash, which dataPath turns into the native separator.
namespace fragment {
inline const QString GasNormal = QStringLiteral("\\気体\\gas1(");
inline const QString GasHighlighted = QStringLiteral("\\気体\\gas2(");
inline const QString ReagentNormal = QStringLiteral("\\薬品\\yaku1(");
inline const QString ReagentHighlighted = QStringLiteral("\\薬品\\yaku2(");
inline const QString Equation = QStringLiteral("\\反応式\\siki(");
inline const QString Apparatus = QStringLiteral("\\装置\\souti(");
inline const QString Properties = QStringLiteral("\\性質\\seisitu(");
inline const QString RightSound = QStringLiteral("\\音\\o.wav");
inline const QString WrongSound = QStringLiteral("\\音\\x.wav");
inline const QString QuestionFile = QStringLiteral("\\説明\\mondai.txt");
inline const QString GasApparatusFile = QStringLiteral("\\説明\\taiou.txt");
// The note over a gas's set-up picture on the properties screen (chuuki(n).txt; empty: none).
inline const QString ApparatusNote = QStringLiteral("\\性質\\chuuki(");
} // namespace fragment

// The decimal digits of the number's absolute value: no sign, blank or leading zero.
QString numberDigits(int number);

// DataRoot + prefix + digits + ").gif", joined with the native separator.
QString PicturePath(const QString &prefix, int number);
// DataRoot + fragment.
QString SoundPath(const QString &fragment);
// The same for any fragment under an explicit root (the checker works on any directory).
QString dataPath(const QString &root, const QString &fragment);
QString picturePathUnder(const QString &root, const QString &prefix, int number);
// root + prefix + digits + ").txt": a numbered text file.
QString textPathUnder(const QString &root, const QString &prefix, int number);

// The same picture drawn at twice the size for a denser screen, beside it under Qt's name for one:
// siki(3).gif -> siki(3)@2x.gif.
QString doubleSizePath(const QString &picturePath);
bool isDoubleSizePath(const QString &path);

} // namespace vaporica
