#include "screens/GasQuizScreen.h"

#include "app/Navigation.h"
#include "bank/QuestionSelection.h"
#include "platform/Services.h"

namespace vaporica {

GasQuizScreen::GasQuizScreen() : Form(QStringLiteral("ヴァポリカ"), 11490, 8100) {
    Command4 = new GraphicalButton(this, {6750, 1005, 1560, 480}, PaleYellow);
    Command3 = new GraphicalButton(this, {6735, 1605, 1560, 480}, PaleYellow);
    Command2 = new GraphicalButton(this, {6735, 390, 1560, 480}, PaleYellow);
    Command2->onClick = [this] { Command2_Click(); };
    Command3->onClick = [this] { Command3_Click(); };
    Command4->onClick = [this] { Command4_Click(); };
    setTabOrder({Command2, Command3, Command4});
}

void GasQuizScreen::Form_Load() { DrawQuestion(*services().clock, *services().random); }

void GasQuizScreen::Command2_Click() { ProgramEnd(); }
void GasQuizScreen::Command3_Click() { ScreenSwitch(ScreenId::Menu); }
void GasQuizScreen::Command4_Click() { ScreenSwitch(ScreenId::Properties); }

} // namespace vaporica
