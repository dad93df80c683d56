#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace vaporica {

// A piece of the screens' layout artwork (":/art/..."), rendered at exactly its pixel size.
QImage artPicture(const QString &resource, QSize size);

} // namespace vaporica
