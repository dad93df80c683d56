#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

namespace vaporica {

class SummaryScreen : public Form {
    Q_OBJECT
public:
    SummaryScreen();

    GraphicalButton *Command1; // quit
    GraphicalButton *Command2; // next question
    GraphicalButton *Command3; // properties
    GraphicalButton *Command4; // menu

private:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
};

} // namespace vaporica
