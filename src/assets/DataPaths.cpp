#include "assets/DataPaths.h"

#include "base/SharedVariables.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

namespace vaporica {

QString numberDigits(int number) {
    // Formatted with a sign position (blank or minus) and that first character dropped.
    return QString::number(std::abs(number));
}

QString dataPath(const QString &root, const QString &fragment) {
    QString native = fragment;
    native.replace(QLatin1Char('\\'), QDir::separator());
    return root + native;
}

QString picturePathUnder(const QString &root, const QString &prefix, int number) {
    return dataPath(root, prefix + numberDigits(number) + QStringLiteral(").gif"));
}

QString textPathUnder(const QString &root, const QString &prefix, int number) {
    return dataPath(root, prefix + numberDigits(number) + QStringLiteral(").txt"));
}

namespace {
const QString DoubleSizeMark = QStringLiteral("@2x");
}

QString doubleSizePath(const QString &picturePath) {
    const qsizetype dot = picturePath.lastIndexOf(QLatin1Char('.'));
    const qsizetype folder = picturePath.lastIndexOf(QDir::separator());
    if (dot < 0 || dot < folder)
        return picturePath + DoubleSizeMark;
    return picturePath.left(dot) + DoubleSizeMark + picturePath.mid(dot);
}

bool isDoubleSizePath(const QString &path) {
    const QString name = QFileInfo(path).completeBaseName();
    return name.endsWith(DoubleSizeMark);
}

QString PicturePath(const QString &prefix, int number) {
    return picturePathUnder(DataRoot, prefix, number);
}

QString SoundPath(const QString &fragment) {
    return dataPath(DataRoot, fragment);
}

} // namespace vaporica
