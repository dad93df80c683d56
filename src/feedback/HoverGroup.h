#pragma once

// The item of a control array under the pointer is drawn highlighted. Two looks exist: a picture
// button swaps to its highlighted picture, an image box gets a border. The group keeps the indexes
// and decides; the screen binds how an item's look changes.

#include "base/SharedVariables.h"

#include <functional>
#include <initializer_list>
#include <utility>

namespace vaporica {

class HoverGroup {
public:
    enum class Freezing { WithFrozenFlag, WithoutFrozenFlag };

    explicit HoverGroup(Freezing freezing) : freezing_(freezing) {}
    virtual ~HoverGroup() = default;

    Integer HoverIndex = 1;
    // -1 when no item is highlighted.
    Integer HighlightedIndex = 1;
    // Set by answer clicks on the group's slot; a group without the flag never freezes.
    Integer HoverFrozenFlag = 0;

    // A screen load counts item 1 as highlighted although it shows its normal look.
    void load();
    bool frozen() const;

    // The pointer moved over item index.
    void HoverEnter(int index);
    // The pointer moved over the group's frame or the window background.
    virtual void HoverReset() = 0;

protected:
    // The highlight step (HighlightGas, HighlightGenerator, HighlightCollector).
    void highlight();
    virtual void showNormal(int index) = 0;
    virtual void showHighlighted(int index) = 0;

private:
    Freezing freezing_;
};

// Picture buttons: the normal picture and the highlighted picture of an item, loaded anew each
// time.
class PictureSwapHighlight final : public HoverGroup {
public:
    using Load = std::function<void(int index)>;
    PictureSwapHighlight(Freezing freezing, Load loadNormal, Load loadHighlighted);

    // Frozen: nothing, the highlight stays where it is. Otherwise the hovered item gets its normal
    // picture again, on every move, also when nothing is highlighted.
    void HoverReset() override;

private:
    void showNormal(int index) override { loadNormal_(index); }
    void showHighlighted(int index) override { loadHighlighted_(index); }
    Load loadNormal_, loadHighlighted_;
};

// Image boxes: BorderStyle 1 on the highlighted item, 0 on the others.
class BorderHighlight final : public HoverGroup {
public:
    using SetBorderStyle = std::function<void(int index, int style)>;
    BorderHighlight(Freezing freezing, SetBorderStyle setBorderStyle);

    // The reset by the frame around this one group.
    void HoverReset() override;

private:
    friend void BackgroundReset(std::initializer_list<BorderHighlight *> groups);
    void showNormal(int index) override { setBorderStyle_(index, 0); }
    void showHighlighted(int index) override { setBorderStyle_(index, 1); }
    SetBorderStyle setBorderStyle_;
};

// The reset by a window background that lies around several bordered groups: each group that is
// not frozen loses its border, then every group counts as unhighlighted, frozen or not.
void BackgroundReset(std::initializer_list<BorderHighlight *> groups);

} // namespace vaporica
