#include "assets/PictureLoader.h"

#include "assets/DataFile.h"
#include "base/RuntimeError.h"

#include <QFileInfo>
#include <QImageReader>

namespace vaporica {

namespace {

// The data folders hold GIF pictures, and BMP, which the program has always read: nothing else
// is decoded. A markup format (SVG) is a program of sorts, and other formats under a picture name
// may hide far more than their header declares (an icon embedding a 6000 x 5000 PNG, a JPEG of
// 100,000 progressive scans).
bool isAcceptedFormat(const QByteArray &format) {
    return format == "gif" || format == "bmp";
}

// A GIF's logical screen, which Qt decodes whatever size its frames declare.
QSize gifScreen(QFile &file) {
    const QByteArray head = file.peek(10);
    if (head.size() < 10)
        return {};
    const auto le16 = [&](int at) { return quint8(head[at]) | (quint8(head[at + 1]) << 8); };
    return QSize(le16(6), le16(8));
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
    if (!isAcceptedFormat(format))
        throw invalidPicture(path, format.isEmpty()
                                       ? QStringLiteral("画像の形式ではありません")
                                       : QStringLiteral("%1 形式は読み込めません。GIF か BMP で"
                                                        "保存してください")
                                             .arg(QString::fromLatin1(format.toUpper())));
    if (format == "gif")
        checkDeclaredSize(path, gifScreen(file));
    QImageReader reader(&file, format);
    reader.setAutoDetectImageFormat(false);
    // Whatever a header says, decoding stops at the largest picture the program accepts.
    reader.setAllocationLimit(MaxPictureSide * MaxPictureSide * 4 / (1024 * 1024) + 1);
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

QImage loadNumberedPicture(const QString &path, const QString &numberFrom) {
    if (!QFileInfo::exists(path))
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("ファイルが見つかりません"),
                           QStringLiteral("%1 (%2 が指す画像です。番号か画像を直してください)")
                               .arg(path, numberFrom));
    return loadPicture(path);
}

} // namespace vaporica
