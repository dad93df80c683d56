#include "drawing/Fonts.h"

#include <QFont>
#include <QFontDatabase>

namespace vaporica {

void installFontSubstitutes() {
    QFont::insertSubstitutions(PMinchoFace, IpaPMinchoNames + QStringList{IpaMinchoNames[0]});
    QFont::insertSubstitutions(MinchoFace, IpaMinchoNames);
}

QFont minchoPixelFont(qreal pixelSize, bool bold, bool proportional) {
    QFont font;
    font.setFamilies(proportional ? QStringList{IpaPMinchoNames[0], IpaMinchoNames[0]}
                                  : QStringList{IpaMinchoNames[0]});
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
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
