#pragma once

#include "base/SharedVariables.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"

#include <span>

namespace vaporica {

// The menu: quiz, properties and quit, and a small Kipp's generator demonstration on a panel
// whose stopcock button swaps the apparatus picture. Loading it reads the question bank.
class MenuScreen : public Form {
    Q_OBJECT
public:
    MenuScreen();

    // The window's inside.
    static constexpr TwipsSize Client{9750, 6285};

    // The table the screen is built from, one row per control.
    static std::span<const LayoutRow<MenuScreen>> layout();

    // Controls, front to back; those from Command5 to Image7 lie inside Frame1.
    GraphicalButton *Command6; // opens the panel
    Frame *Frame1;             // the Kipp's apparatus panel
    GraphicalButton *Command5; // closes the panel
    GraphicalButton *Command4; // opens or closes the stopcock
    ImageBox *Image9;          // apparatus, stopcock open
    ImageBox *Image8;          // apparatus, stopcock closed
    ImageBox *Image7;          // explanatory text
    GraphicalButton *Command3; // quit
    GraphicalButton *Command2; // properties
    GraphicalButton *Command1; // quiz

    // 1 while Image8 (stopcock closed) shows, 0 while Image9 (open) shows.
    Integer CockClosed = 1;

    // Handlers, in the order of the screen's handler table.
    void Form_Load() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();

private:
    void coverMenuButtons(bool covered);
};

} // namespace vaporica
