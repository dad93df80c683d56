#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

namespace vaporica {

class PropertiesScreen : public Form {
    Q_OBJECT
public:
    PropertiesScreen();

    GraphicalButton *Command2; // quit
    GraphicalButton *Command3; // back
    GraphicalButton *Command4; // quiz

private:
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
};

} // namespace vaporica
