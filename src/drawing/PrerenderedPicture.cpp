#include "drawing/PrerenderedPicture.h"

#include <QResource>
#include <cstdint>
#include <cstring>

namespace vaporica {

namespace {
struct Header {
    std::uint32_t width, height;
};
} // namespace

QByteArray prerenderedBytes(const QImage &picture) {
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const Header header{std::uint32_t(pixels.width()), std::uint32_t(pixels.height())};
    QByteArray bytes(reinterpret_cast<const char *>(&header), sizeof header);
    for (int y = 0; y < pixels.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(pixels.constScanLine(y)), pixels.width() * 4);
    return bytes;
}

QImage prerenderedPicture(const QString &resource) {
    if (!resource.startsWith(QLatin1String(":/")))
        return {};
    const QResource stored(QLatin1String(":") + QLatin1String(PrerenderedPrefix) + resource.mid(1));
    if (!stored.isValid() || stored.compressionAlgorithm() != QResource::NoCompression ||
        stored.size() < qint64(sizeof(Header)))
        return {};
    Header header;
    std::memcpy(&header, stored.data(), sizeof header);
    const qint64 rowBytes = qint64(header.width) * 4;
    if (header.width == 0 || header.width > 16384 ||
        stored.size() != qint64(sizeof header) + rowBytes * header.height)
        return {};
    const uchar *rows = stored.data() + sizeof header;
    const QImage image(rows, int(header.width), int(header.height), rowBytes,
                       QImage::Format_ARGB32_Premultiplied);
    // The image reads the program's own bytes in place; rows that are not word-aligned get a
    // copy, as QImage expects aligned rows.
    if (reinterpret_cast<std::uintptr_t>(rows) % 4 != 0)
        return image.copy();
    return image;
}

namespace {
QString atScale(const QString &resource, int scale) {
    return scale == 1 ? resource : resource + QStringLiteral("@%1x").arg(scale);
}
} // namespace

QString gasPlateResource(int gas, int scale) {
    return atScale(QStringLiteral(":/plates/gas%1").arg(gas), scale);
}

QString reagentPlateResource(int reagent, int scale) {
    return atScale(QStringLiteral(":/plates/reagent%1").arg(reagent), scale);
}

} // namespace vaporica
