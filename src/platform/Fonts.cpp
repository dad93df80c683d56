#include "platform/Fonts.h"

#include <QFont>
#include <QStringList>

namespace vaporica {

void installFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"),
                               QStringList{QStringLiteral("IPAPMincho"),
                                           QStringLiteral("IPA P明朝"),
                                           QStringLiteral("IPAMincho")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ 明朝"),
                               QStringList{QStringLiteral("IPAMincho"), QStringLiteral("IPA明朝")});
}

} // namespace vaporica
