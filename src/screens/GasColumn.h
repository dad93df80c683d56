#pragma once

#include "base/SharedVariables.h"
#include "widgets/ControlArray.h"
#include "widgets/Controls.h"

namespace vaporica {

// The pink frame with the fourteen gas buttons that the gas quiz and the properties browser
// share: only the frame's place differs. The buttons show their design-time plates.
Frame *createGasColumn(QWidget *form, TwipsRect framePlace,
                       ControlArray<GraphicalButton, GasCount> &buttons);

} // namespace vaporica
