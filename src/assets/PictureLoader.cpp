#include "assets/PictureLoader.h"

#include "app/RuntimeError.h"

#include <QFileInfo>
#include <QImageReader>

namespace vaporica {

QImage loadPicture(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("ファイルが見つかりません"),
                           path);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage picture = reader.read();
    if (picture.isNull()) {
        if (reader.error() == QImageReader::DeviceError)
            throw RuntimeError(ErrorNumber::PathFileAccess,
                               QStringLiteral("ファイルを読み込めません"), path);
        throw RuntimeError(ErrorNumber::InvalidPicture,
                           QStringLiteral("ピクチャが無効です (%1)").arg(reader.errorString()),
                           path);
    }
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace vaporica
