#pragma once

#include "app/SharedVariables.h"
#include "platform/Controls.h"
#include "platform/Form.h"

namespace vaporica {

class MenuScreen : public Form {
    Q_OBJECT
public:
    MenuScreen();
    void Form_Load() override;

    GraphicalButton *Command1; // quiz
    GraphicalButton *Command2; // properties
    GraphicalButton *Command3; // quit

    Integer CockClosed = 1;

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
};

} // namespace vaporica
