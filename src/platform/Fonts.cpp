#include "platform/Fonts.h"

#include <QFont>
#include <QStringList>

namespace vaporica {

void installFontSubstitutes() {
    QFont::insertSubstitutions(PMinchoFace, QStringList{QStringLiteral("IPAPMincho"),
                                                        QStringLiteral("IPA P明朝"),
                                                        QStringLiteral("IPAMincho")});
    QFont::insertSubstitutions(MinchoFace,
                               QStringList{QStringLiteral("IPAMincho"), QStringLiteral("IPA明朝")});
}

} // namespace vaporica
