#include "screens/MenuScreen.h"

#include "bank/BankLoader.h"
#include "base/ProgramLife.h"
#include "drawing/Fonts.h"
#include "screens/ArtControls.h"
#include "widgets/ArtPictures.h"

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

QFont pMincho(double points) {
    return minchoFont(PMinchoFace, points, true);
}

// The three big buttons: the picture fills the face; the words it shows are its name.
GraphicalButton *pictureButton(QWidget *parent, TwipsRect place, const QColor &face,
                               const char *art, const QString &words) {
    GraphicalButton *button = artButton(parent, place, art, words, face);
    button->setCaptionFont(minchoFont(MinchoFace, 20.25, true));
    return button;
}

GraphicalButton *captionButton(QWidget *parent, TwipsRect place, std::uint32_t face,
                               const QString &caption, double points) {
    auto *button = new GraphicalButton(parent, place, face);
    button->setCaptionFont(pMincho(points));
    button->setCaption(caption);
    return button;
}

} // namespace

MenuScreen::MenuScreen() : Form(QStringLiteral("メニュー"), 9750, 6285) {
    setBackgroundPicture(scalableArtPicture(QStringLiteral(":/art/menu/background.svg")));
    createControls();
}

void MenuScreen::createControls() {
    const QString kipp = QStringLiteral("キップの装置");
    Command6 = captionButton(this, {1635, 5445, 1545, 465}, Orange, kipp, 12);
    Frame1 = new Frame(this, {345, 285, 9045, 5775}, kipp, LightOrange, Red, pMincho(12));
    Command5 =
        captionButton(Frame1, {7440, 420, 1230, 435}, Salmon, QStringLiteral("戻　る"), 15.75);
    Command4 = captionButton(Frame1, {5685, 4815, 2190, 435}, Salmon, CockOpenAction, 15.75);
    Image9 = artImage(Frame1, {4935, 1080, 3735, 3525}, ":/art/menu/kipp-open.svg",
                      QStringLiteral("コックを開いたキップの装置"));
    Image8 = artImage(Frame1, {4935, 1080, 3735, 3525}, ":/art/menu/kipp-closed.svg",
                      QStringLiteral("コックを閉じたキップの装置"));
    Image7 = artImage(Frame1, {435, 660, 4095, 4590}, ":/art/menu/explanation.svg", kipp);
    Image7->setAccessibleDescription(QStringLiteral(
        "加熱を必要としない、固体と液体の反応で気体を発生させる装置。二つのガラス器具よりなり、"
        "下に固体、上に液体を入れる。気体取り出しコックを開くと反応が起き閉じると発生した気体の"
        "圧力で、液体が上の器具に押し上げられるので反応はそれ以上進行しない。"));
    Command3 = pictureButton(this, {6840, 5130, 2535, 720}, platformButtonFace(),
                             ":/art/menu/button-quit.svg", QStringLiteral("終了"));
    Command2 = pictureButton(this, {6840, 4200, 2535, 720}, platformButtonFace(),
                             ":/art/menu/button-properties.svg", QStringLiteral("気体の性質"));
    Command1 = pictureButton(this, {6840, 3300, 2535, 720}, bgr(LightGrey),
                             ":/art/menu/button-quiz.svg", QStringLiteral("ヴァポリカ"));

    // Visible at load: the panel and the open-stopcock picture are not.
    Image9->hide();
    Frame1->hide();

    // Qt draws later siblings on top: raise from the back of the layout table to its front.
    for (QWidget *w :
         std::initializer_list<QWidget *>{Command1, Command2, Command3, Frame1, Command6, Image7,
                                          Image8, Image9, Command4, Command5})
        w->raise();

    Command1->onClick = [this] { Command1_Click(); };
    Command2->onClick = [this] { Command2_Click(); };
    Command3->onClick = [this] { Command3_Click(); };
    Command4->onClick = [this] { Command4_Click(); };
    Command5->onClick = [this] { Command5_Click(); };
    Command6->onClick = [this] { Command6_Click(); };

    // Tab order 0..6; Frame1 (3) takes no focus.
    setTabOrder({Command1, Command2, Command3, Command4, Command5, Command6});
    // A screen reader reads the three big buttons first, as the tab order visits them.
    setReadingOrder({Command1, Command2, Command3, Command6, Frame1});
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
