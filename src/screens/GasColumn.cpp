#include "screens/GasColumn.h"

#include "base/Names.h"
#include "drawing/Fonts.h"
#include "widgets/ArtPictures.h"

#include <iterator>

namespace vaporica {

namespace {
constexpr std::uint32_t FramePink = 0x00C0C0FF;

// Top of gas button n inside the frame; three steps are 510 twips, so those neighbours overlap.
constexpr int GasButtonTop[] = {180,  705,  1230, 1755, 2280, 2805, 3330,
                                3855, 4365, 4890, 5400, 5910, 6435, 6960};
static_assert(std::size(GasButtonTop) == GasCount,
              "The gas column holds 14 buttons at fixed places: a gas more or fewer needs a new "
              "layout of the column");
} // namespace

Frame *createGasColumn(QWidget *form, TwipsRect framePlace,
                       ControlArray<GraphicalButton, GasCount> &buttons) {
    auto *frame =
        new Frame(form, framePlace, QString(), FramePink, Red, minchoFont(MinchoFace, 12, true));
    frame->setAccessibleName(QStringLiteral("気体"));
    for (int n = 1; n <= GasCount; ++n) {
        auto *button =
            new GraphicalButton(frame, {120, GasButtonTop[n - 1], 1830, 525}, PaleYellow);
        button->setPicture(gasPlatePicture(n));
        button->setAccessibleName(gasName(n));
        buttons(n) = button;
    }
    return frame;
}

} // namespace vaporica
