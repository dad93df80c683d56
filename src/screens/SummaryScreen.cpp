#include "screens/SummaryScreen.h"

#include "app/Navigation.h"

namespace vaporica {

SummaryScreen::SummaryScreen() : Form(QStringLiteral("まとめ"), 11460, 8070) {
    Command4 = new GraphicalButton(this, {1110, 7365, 2070, 480}, PaleYellow);
    Command3 = new GraphicalButton(this, {3480, 7365, 2070, 480}, PaleYellow);
    Command2 = new GraphicalButton(this, {5865, 7365, 2070, 480}, PaleYellow);
    Command1 = new GraphicalButton(this, {8250, 7365, 2070, 480}, PaleYellow);
    Command1->onClick = [this] { Command1_Click(); };
    Command2->onClick = [this] { Command2_Click(); };
    Command3->onClick = [this] { Command3_Click(); };
    Command4->onClick = [this] { Command4_Click(); };
    setTabOrder({Command1, Command2, Command3, Command4});
}

void SummaryScreen::Command1_Click() {
    ProgramEnd();
}
void SummaryScreen::Command2_Click() {
    ScreenSwitch(ScreenId::GasQuiz);
}
void SummaryScreen::Command3_Click() {
    ScreenSwitch(ScreenId::Properties);
}
void SummaryScreen::Command4_Click() {
    ScreenSwitch(ScreenId::Menu);
}

} // namespace vaporica
