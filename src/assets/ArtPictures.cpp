#include "assets/ArtPictures.h"

#include "assets/SvgRender.h"

// A static library's resources are linked only when something refers to them; the macro must
// stand outside any namespace.
static void registerArtResources() {
    Q_INIT_RESOURCE(art);
}

namespace vaporica {

QImage artPicture(const QString &resource, QSize size) {
    static const bool registered = (registerArtResources(), true);
    (void)registered;
    return renderSvgFile(resource, size);
}

} // namespace vaporica
