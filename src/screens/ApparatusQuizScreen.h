#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

namespace vaporica {

class ApparatusQuizScreen : public Form {
    Q_OBJECT
public:
    ApparatusQuizScreen();

    GraphicalButton *Command2; // quit

private:
    void Command2_Click();
};

} // namespace vaporica
