#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

namespace vaporica {

class GasQuizScreen : public Form {
    Q_OBJECT
public:
    GasQuizScreen();
    void Form_Load() override;

    GraphicalButton *Command2; // quit
    GraphicalButton *Command3; // back
    GraphicalButton *Command4; // properties

private:
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
};

} // namespace vaporica
