#pragma once

#include "base/SharedVariables.h"
#include "feedback/HoverGroup.h"
#include "widgets/ControlArray.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"

#include <span>

namespace vaporica {

// The gas properties browser: a column of fourteen gas buttons; a click shows the gas's properties
// picture and the apparatus that prepares it.
class PropertiesScreen : public Form {
    Q_OBJECT
public:
    PropertiesScreen();

    // The window's inside.
    static constexpr TwipsSize Client{11490, 8100};

    // The table the screen is built from, one row per control.
    static std::span<const LayoutRow<PropertiesScreen>> layout();
    ~PropertiesScreen() override;

    // Controls, front to back.
    Frame *Frame2; // "説明"
    ImageBox *Image3;
    Frame *Frame3; // "実験装置"
    Label *Label1;
    ImageBox *Image4;
    GraphicalButton *Command2; // quit
    GraphicalButton *Command4; // quiz
    GraphicalButton *Command3; // back
    ImageBox *Image1;          // title
    ImageBox *Image2;          // instruction banner
    Frame *Frame1;
    ControlArray<GraphicalButton, GasCount> Command1{"Command1"};

    // The screen's own variables, read through the group that keeps them.
    Integer GasHighlighted() const { return gasGroup_.HighlightedIndex; }
    Integer GasHover() const { return gasGroup_.HoverIndex; }

    // Handlers, in the order of the screen's handler table.
    void Form_Load() override;
    void Command1_MouseMove(int Index);
    void Form_MouseMove() override;
    void Frame1_MouseMove();
    void Command1_Click(int Index);
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    void showNote(const QString &note);

    PictureSwapHighlight gasGroup_;
};

} // namespace vaporica
