#pragma once

#include "platform/SoundPlayer.h"
#include "widgets/ControlArray.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"

#include <memory>
#include <span>

namespace vaporica {

// Closes a question: the gas, its two reagents, the reaction equation and the apparatus of the
// current question, and the way on to the next question, the properties, the menu or the end.
class SummaryScreen : public Form {
    Q_OBJECT
public:
    SummaryScreen();

    // The window's inside.
    static constexpr TwipsSize Client{11460, 8070};

    // The table the screen is built from, one row per control.
    static std::span<const LayoutRow<SummaryScreen>> layout();
    ~SummaryScreen() override;

    // Controls, top to bottom and left to right.
    Frame *Frame1; // the gas
    ImageBox *Image1;
    Frame *Frame2; // the reagents
    ControlArray<ImageBox, 2> Image2{"Image2"};
    Frame *Frame3; // the reaction equation
    ImageBox *Image3;
    Frame *Frame4; // the apparatus
    ImageBox *Image4;
    GraphicalButton *Command4; // menu
    GraphicalButton *Command3; // properties
    GraphicalButton *Command2; // next question
    GraphicalButton *Command1; // quit
    // Nothing here gives it a file, so it stays silent.
    std::unique_ptr<SoundPlayer> MediaPlayer1;

    // Handlers.
    void Form_Load() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
};

} // namespace vaporica
