#include "drawing/SvgRender.h"

#include "base/RuntimeError.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace vaporica {

QByteArray readSvg(const QString &source) {
    QFile file(source);
    if (!file.exists())
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("ファイルが見つかりません"),
                           source);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("ファイルを読み込めません"),
                           source);
    return file.readAll();
}

QImage renderSvg(const QByteArray &svg, QSize size, const QString &source) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        throw RuntimeError(ErrorNumber::InvalidPicture, QStringLiteral("ピクチャが無効です (SVG)"),
                           source);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return image;
}

QImage renderSvgFile(const QString &source, QSize size) {
    return renderSvg(readSvg(source), size, source);
}

QByteArray withoutSvgElement(const QByteArray &svg, const QString &id) {
    QByteArray result;
    QXmlStreamReader reader(svg);
    QXmlStreamWriter writer(&result);
    int skipDepth = 0; // > 0 while inside the removed element
    while (!reader.atEnd()) {
        reader.readNext();
        if (skipDepth > 0) {
            if (reader.isStartElement())
                ++skipDepth;
            else if (reader.isEndElement())
                --skipDepth;
            continue;
        }
        if (reader.isStartElement() && reader.attributes().value(QLatin1String("id")) == id) {
            skipDepth = 1;
            continue;
        }
        writer.writeCurrentToken(reader);
    }
    // A malformed source is left for the renderer to reject with its own name attached.
    return reader.hasError() ? svg : result;
}

} // namespace vaporica
