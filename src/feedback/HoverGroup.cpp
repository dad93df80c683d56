#include "feedback/HoverGroup.h"

namespace vaporica {

void HoverGroup::load() {
    HoverIndex = 1;
    HighlightedIndex = 1;
    HoverFrozenFlag = 0;
}

bool HoverGroup::frozen() const {
    return freezing_ == Freezing::WithFrozenFlag && HoverFrozenFlag == 1;
}

void HoverGroup::HoverEnter(int index) {
    if (frozen())
        return;
    HoverIndex = static_cast<Integer>(index);
    highlight();
}

void HoverGroup::highlight() {
    // Moves within one item cost nothing.
    if (HighlightedIndex == HoverIndex)
        return;
    if (HighlightedIndex != -1)
        showNormal(HighlightedIndex);
    showHighlighted(HoverIndex);
    HighlightedIndex = HoverIndex;
}

PictureSwapHighlight::PictureSwapHighlight(Freezing freezing, Load loadNormal, Load loadHighlighted)
    : HoverGroup(freezing), loadNormal_(std::move(loadNormal)),
      loadHighlighted_(std::move(loadHighlighted)) {}

void PictureSwapHighlight::HoverReset() {
    if (frozen())
        return;
    if (HoverIndex != 0)
        showNormal(HoverIndex);
    HighlightedIndex = -1;
}

BorderHighlight::BorderHighlight(Freezing freezing, SetBorderStyle setBorderStyle)
    : HoverGroup(freezing), setBorderStyle_(std::move(setBorderStyle)) {}

void BorderHighlight::HoverReset() {
    if (frozen())
        return;
    showNormal(HoverIndex);
    HighlightedIndex = -1;
}

void BackgroundReset(std::initializer_list<BorderHighlight *> groups) {
    for (BorderHighlight *group : groups)
        if (!group->frozen())
            group->showNormal(group->HoverIndex);
    for (BorderHighlight *group : groups)
        group->HighlightedIndex = -1;
}

} // namespace vaporica
