#include "assets/PictureText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cstdio>

namespace vaporica {

QString pictureTextPath(const QString &picturePath) {
    const QFileInfo picture(picturePath);
    return picture.dir().filePath(picture.completeBaseName() + QStringLiteral(".txt"));
}

QString pictureText(const QString &picturePath) {
    const QString path = pictureTextPath(picturePath);
    QFile file(path);
    if (!file.exists())
        return {};
    // Words for a picture, not a book: a few lines at most.
    constexpr qint64 Limit = 4096;
    const auto fail = [&path](const char *problem) {
        std::fprintf(stderr, "%s: %s; the picture reads as its role\n", qPrintable(path), problem);
        return QString();
    };
    if (!file.open(QIODevice::ReadOnly))
        return fail("cannot be read");
    const QByteArray bytes = file.read(Limit + 1);
    if (bytes.size() > Limit)
        return fail("longer than 4096 bytes");
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(bytes);
    if (decode.hasError())
        return fail("not UTF-8 text");
    return text.simplified();
}

} // namespace vaporica
