#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace vaporica {

// The two Mincho faces of the layout, by the names it gives them: proportional and fixed pitch.
inline const QString PMinchoFace = QStringLiteral("ＭＳ Ｐ明朝");
inline const QString MinchoFace = QStringLiteral("ＭＳ 明朝");

// Both are desktop fonts of another platform; the IPA Mincho faces take their place.
void installFontSubstitutes();

// The names the IPA faces go by: fontconfig lists the Latin ones, or under a Japanese locale the
// Japanese ones, whichever the machine's language is.
inline const QStringList IpaPMinchoNames{QStringLiteral("IPAPMincho"), QStringLiteral("IPA P明朝")};
inline const QStringList IpaMinchoNames{QStringLiteral("IPAMincho"), QStringLiteral("IPA明朝")};

// A Mincho face at a size in pixels, bold or not, antialiased: the one font of every picture the
// material tools draw. The IPA faces by their Latin names, which fontconfig matches in any locale.
QFont minchoPixelFont(qreal pixelSize, bool bold = false, bool proportional = true);

// Whether both IPA Mincho faces are installed, by any of their names.
bool minchoFacesInstalled();

} // namespace vaporica
