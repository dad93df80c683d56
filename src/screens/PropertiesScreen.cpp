#include "screens/PropertiesScreen.h"

#include "app/Navigation.h"

namespace vaporica {

PropertiesScreen::PropertiesScreen() : Form(QStringLiteral("気体の性質"), 11490, 8100) {
    Command2 = new GraphicalButton(this, {6735, 390, 1560, 480}, PaleYellow);
    Command4 = new GraphicalButton(this, {6735, 1020, 1560, 480}, PaleYellow);
    Command3 = new GraphicalButton(this, {6735, 1635, 1560, 480}, PaleYellow);
    Command2->onClick = [this] { Command2_Click(); };
    Command3->onClick = [this] { Command3_Click(); };
    Command4->onClick = [this] { Command4_Click(); };
    setTabOrder({Command3, Command2, Command4});
}

void PropertiesScreen::Command2_Click() {
    ProgramEnd();
}
void PropertiesScreen::Command3_Click() {
    ScreenSwitch(ScreenId::Menu);
}
void PropertiesScreen::Command4_Click() {
    ScreenSwitch(ScreenId::GasQuiz);
}

} // namespace vaporica
