#include "drawing/Fonts.h"

#include <QFont>
#include <QFontDatabase>

namespace vaporica {

void installFontSubstitutes() {
    QFont::insertSubstitutions(PMinchoFace, IpaPMinchoNames + QStringList{IpaMinchoNames[0]});
    QFont::insertSubstitutions(MinchoFace, IpaMinchoNames);
}

bool minchoFacesInstalled() {
    const QStringList families = QFontDatabase::families();
    const auto anyOf = [&](const QStringList &names) {
        for (const QString &name : names)
            if (families.contains(name))
                return true;
        return false;
    };
    return anyOf(IpaPMinchoNames) && anyOf(IpaMinchoNames);
}

} // namespace vaporica
