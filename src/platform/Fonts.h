#pragma once

namespace vaporica {

// "ＭＳ Ｐ明朝" and "ＭＳ 明朝" are desktop fonts of another platform; the IPA Mincho faces take
// their place.
void installFontSubstitutes();

} // namespace vaporica
