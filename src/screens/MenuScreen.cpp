#include "screens/MenuScreen.h"

#include "app/Navigation.h"
#include "bank/BankLoader.h"

namespace vaporica {

MenuScreen::MenuScreen() : Form(QStringLiteral("メニュー"), 9750, 6285) {
    Command3 = new GraphicalButton(this, {6840, 5130, 2535, 720}, 0x00E0E0E0);
    Command2 = new GraphicalButton(this, {6840, 4200, 2535, 720}, 0x00E0E0E0);
    Command1 = new GraphicalButton(this, {6840, 3300, 2535, 720}, 0x00E0E0E0);
    Command1->onClick = [this] { Command1_Click(); };
    Command2->onClick = [this] { Command2_Click(); };
    Command3->onClick = [this] { Command3_Click(); };
    setTabOrder({Command1, Command2, Command3});
}

void MenuScreen::Form_Load() {
    QuestionCount = 20;
    CockClosed = 1;
    emptyRecentWindow();
    loadQuestionBank();
}

void MenuScreen::Command1_Click() {
    ScreenSwitch(ScreenId::GasQuiz);
}
void MenuScreen::Command2_Click() {
    ScreenSwitch(ScreenId::Properties);
}
void MenuScreen::Command3_Click() {
    ProgramEnd();
}

} // namespace vaporica
