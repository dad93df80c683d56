#include "screens/MenuScreen.h"

#include "bank/BankLoader.h"
#include "base/ProgramLife.h"
#include "widgets/ArtPictures.h"
#include "widgets/Layout.h"

namespace vaporica {

namespace {
constexpr std::uint32_t LightOrange = 0x00C0E0FF;
constexpr std::uint32_t Salmon = 0x008080FF;
constexpr std::uint32_t LightGrey = 0x00E0E0E0;

const QString CockOpenAction = QStringLiteral("コックを開く");
const QString CockCloseAction = QStringLiteral("コックを閉じる");

// What a sighted pupil sees happen in the apparatus picture when the stopcock turns.
const QString CockOpenedWords = QStringLiteral("コックを開きました。上の液体が下りてきて中の固体に"
                                               "触れ、気体が発生してびんに集まります。");
const QString CockClosedWords = QStringLiteral("コックを閉じました。発生した気体の圧力で液体が上の"
                                               "器具に押し上げられ、反応が止まります。");

constexpr LayoutFont PMincho12{Face::PMincho, 12, Bold};
constexpr LayoutFont PMincho15{Face::PMincho, 15.75, Bold};
constexpr LayoutFont Mincho20{Face::Mincho, 20.25, Bold};

// The words of the explanation picture, for a screen reader.
constexpr const char *KippExplanation =
    "加熱を必要としない、固体と液体の反応で気体を発生させる装置。二つのガラス器具よりなり、"
    "下に固体、上に液体を入れる。気体取り出しコックを開くと反応が起き閉じると発生した気体の"
    "圧力で、液体が上の器具に押し上げられるので反応はそれ以上進行しない。";

using S = MenuScreen;
// Front to back. The three big buttons' pictures show their words, which are their names; a
// screen reader reads them first, as the tab order visits them.
// clang-format off
constexpr LayoutRow<S> Layout[] = {
    {.name = "Command6", .control = control<&S::Command6>, .place = {1635, 5445, 1545, 465},
     .caption = "キップの装置", .back = Orange, .font = PMincho12, .tab = 6, .reading = 3,
     .click = &S::Command6_Click},
    {.name = "Frame1", .control = control<&S::Frame1>, .place = {345, 285, 9045, 5775},
     .caption = "キップの装置", .back = LightOrange, .fore = Red, .font = PMincho12, .hidden = true,
     .tab = 3, .reading = 4},
    {.name = "Command5", .control = control<&S::Command5>, .inside = "Frame1",
     .place = {7440, 420, 1230, 435}, .caption = "戻　る", .back = Salmon, .font = PMincho15,
     .tab = 5, .click = &S::Command5_Click},
    {.name = "Command4", .control = control<&S::Command4>, .inside = "Frame1",
     .place = {5685, 4815, 2190, 435}, .caption = "コックを開く", .back = Salmon, .font = PMincho15,
     .tab = 4, .click = &S::Command4_Click},
    {.name = "Image9", .control = control<&S::Image9>, .inside = "Frame1",
     .place = {4935, 1080, 3735, 3525}, .art = ":/art/menu/kipp-open.svg",
     .words = "コックを開いたキップの装置", .hidden = true},
    {.name = "Image8", .control = control<&S::Image8>, .inside = "Frame1",
     .place = {4935, 1080, 3735, 3525}, .art = ":/art/menu/kipp-closed.svg",
     .words = "コックを閉じたキップの装置"},
    {.name = "Image7", .control = control<&S::Image7>, .inside = "Frame1",
     .place = {435, 660, 4095, 4590}, .art = ":/art/menu/explanation.svg", .words = "キップの装置",
     .description = KippExplanation},
    {.name = "Command3", .control = control<&S::Command3>, .place = {6840, 5130, 2535, 720},
     .art = ":/art/menu/button-quit.svg", .words = "終了", .back = ButtonFace, .font = Mincho20,
     .tab = 2, .reading = 2, .click = &S::Command3_Click},
    {.name = "Command2", .control = control<&S::Command2>, .place = {6840, 4200, 2535, 720},
     .art = ":/art/menu/button-properties.svg", .words = "気体の性質", .back = ButtonFace,
     .font = Mincho20, .tab = 1, .reading = 1, .click = &S::Command2_Click},
    {.name = "Command1", .control = control<&S::Command1>, .place = {6840, 3300, 2535, 720},
     .art = ":/art/menu/button-quiz.svg", .words = "ヴァポリカ", .back = LightGrey,
     .font = Mincho20, .tab = 0, .reading = 0, .click = &S::Command1_Click},
};
// clang-format on
static_assert(framesComeFirst<S>(Layout));

} // namespace

std::span<const LayoutRow<MenuScreen>> MenuScreen::layout() {
    return Layout;
}

MenuScreen::MenuScreen() : Form(QStringLiteral("メニュー"), Client.width, Client.height) {
    setBackgroundPicture(scalableArtPicture(QStringLiteral(":/art/menu/background.svg")));
    build(layout());
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

void MenuScreen::Command4_Click() {
    if (CockClosed == 0) {
        Image9->hide();
        Image8->show();
        CockClosed = 1;
        Command4->setCaption(CockOpenAction);
        announce(CockClosedWords);
    } else {
        Image8->hide();
        Image9->show();
        CockClosed = 0;
        Command4->setCaption(CockCloseAction);
        announce(CockOpenedWords);
    }
}

void MenuScreen::Command5_Click() {
    coverMenuButtons(false);
    Command6->show();
    Frame1->hide();
}

void MenuScreen::Command6_Click() {
    coverMenuButtons(true);
    Command6->hide();
    Frame1->show();
    // The pupil works the panel now; a screen reader names its first button, then reads it out.
    Command4->setFocus(Qt::OtherFocusReason);
    announce(QStringLiteral("%1。%2%3")
                 .arg(Frame1->caption(), Image7->accessibleDescription(),
                      CockClosed == 1 ? QStringLiteral("コックは閉じています。")
                                      : QStringLiteral("コックは開いています。")));
}

// The open panel covers the three big buttons: the keyboard cannot reach them then, as the
// pointer cannot.
void MenuScreen::coverMenuButtons(bool covered) {
    for (GraphicalButton *button : {Command1, Command2, Command3})
        button->setFocusPolicy(covered ? Qt::NoFocus : Qt::StrongFocus);
}

} // namespace vaporica
