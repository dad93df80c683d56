#include "assets/PictureLoader.h"

#include "app/RuntimeError.h"
#include "assets/DataFile.h"

#include <QFileInfo>
#include <QImageReader>

namespace vaporica {

namespace {

// Raster formats only: a markup format (SVG, XPM, XBM) is a program of sorts, and an SVG that
// refers to itself recurses until the stack overflows.
bool isRasterFormat(const QByteArray &format) {
    static const QList<QByteArray> raster = {"gif",  "bmp", "png",  "jpeg", "jpg", "pbm",
                                             "pgm",  "ppm", "ico",  "cur",  "tif", "tiff",
                                             "webp", "tga", "wbmp", "icns", "jp2"};
    return raster.contains(format.toLower());
}

RuntimeError invalidPicture(const QString &path, const QString &why) {
    return RuntimeError(ErrorNumber::InvalidPicture,
                        QStringLiteral("ピクチャが無効です (%1)").arg(why), path);
}

// Refuses a header that declares more pixels than the program could ever show, before a single
// pixel is decoded: a few kilobytes of GIF may declare gigabytes of picture.
void checkDeclaredSize(const QString &path, const QSize &size) {
    if (size.width() > MaxPictureSide || size.height() > MaxPictureSide)
        throw invalidPicture(path, QStringLiteral("%1 × %2 ピクセル。大きさの上限は %3 × %3")
                                       .arg(size.width())
                                       .arg(size.height())
                                       .arg(MaxPictureSide));
}

} // namespace

QImage loadPicture(const QString &path) {
    if (QFileInfo(path).isDir())
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("ファイルが見つかりません"),
                           path);
    QFile file;
    openDataFile(path, file);
    const QByteArray format = QImageReader::imageFormat(&file);
    if (!isRasterFormat(format))
        throw invalidPicture(path, format.isEmpty()
                                       ? QStringLiteral("画像の形式ではありません")
                                       : QStringLiteral("%1 形式は読み込めません")
                                             .arg(QString::fromLatin1(format.toUpper())));
    QImageReader reader(&file, format);
    reader.setAutoDetectImageFormat(false);
    checkDeclaredSize(path, reader.size());
    const QImage picture = reader.read();
    if (picture.isNull()) {
        if (reader.error() == QImageReader::DeviceError)
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               QStringLiteral("ファイルを読み込めません"), path);
        throw invalidPicture(path, reader.errorString());
    }
    QImage converted = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (converted.isNull())
        throw RuntimeError(ErrorNumber::OutOfMemory, QStringLiteral("メモリが不足しています"),
                           path);
    return converted;
}

} // namespace vaporica
