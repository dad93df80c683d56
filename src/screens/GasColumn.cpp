#include "screens/GasColumn.h"

#include "base/SharedVariables.h"

#include <iterator>

namespace vaporica {

namespace {
// Top of gas button n inside the frame; three steps are 510 twips, so those neighbours overlap.
constexpr int GasButtonTop[] = {180,  705,  1230, 1755, 2280, 2805, 3330,
                                3855, 4365, 4890, 5400, 5910, 6435, 6960};
static_assert(std::size(GasButtonTop) == GasCount,
              "The gas column holds 14 buttons at fixed places: a gas more or fewer needs a new "
              "layout of the column");
} // namespace

TwipsRect gasButtonPlace(int n) {
    return {120, GasButtonTop[n - 1], 1830, 525};
}

} // namespace vaporica
