#pragma once

#include <QString>

namespace vaporica {

// The two Mincho faces of the layout, by the names it gives them: proportional and fixed pitch.
inline const QString PMinchoFace = QStringLiteral("ＭＳ Ｐ明朝");
inline const QString MinchoFace = QStringLiteral("ＭＳ 明朝");

// Both are desktop fonts of another platform; the IPA Mincho faces take their place.
void installFontSubstitutes();

} // namespace vaporica
