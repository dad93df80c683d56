#include "screens/ApparatusQuizScreen.h"

#include "app/Navigation.h"

namespace vaporica {

ApparatusQuizScreen::ApparatusQuizScreen() : Form(QStringLiteral("装置と捕集"), 11460, 8070) {
    Command2 = new GraphicalButton(this, {9525, 450, 1560, 480}, PaleYellow);
    Command2->onClick = [this] { Command2_Click(); };
    setTabOrder({Command2});
}

void ApparatusQuizScreen::Command2_Click() {
    ProgramEnd();
}

} // namespace vaporica
