#pragma once

#include "widgets/Twips.h"

#include <cstdint>

namespace vaporica {

// The pink frame with the fourteen gas buttons that the gas quiz and the properties browser
// share: only the frame's place (and the tab order) differs. The buttons show their design-time
// plates.
constexpr std::uint32_t GasColumnPink = 0x00C0C0FF;
constexpr const char *GasColumnWords = "気体";

// Where gas button n stands inside the frame.
TwipsRect gasButtonPlace(int n);

} // namespace vaporica
