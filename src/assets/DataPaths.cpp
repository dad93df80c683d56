#include "assets/DataPaths.h"

#include "base/SharedVariables.h"

#include <QDir>
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

QString PicturePath(const QString &prefix, int number) {
    return picturePathUnder(DataRoot, prefix, number);
}

QString SoundPath(const QString &fragment) {
    return dataPath(DataRoot, fragment);
}

} // namespace vaporica
