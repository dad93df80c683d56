#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace vaporica {

// Reads an SVG file or Qt resource (":/..."). A missing source is a runtime error naming it.
QByteArray readSvg(const QString &source);

// Renders SVG text at exactly `size` pixels on a transparent background, the drawing scaled to
// fill it. Text that is not a valid SVG is a runtime error naming `source`.
QImage renderSvg(const QByteArray &svg, QSize size, const QString &source);

// Reads and renders in one step.
QImage renderSvgFile(const QString &source, QSize size);

// The SVG text without the element whose id is `id` (and everything inside it); unchanged when
// no element has that id.
QByteArray withoutSvgElement(const QByteArray &svg, const QString &id);

} // namespace vaporica
