#include "screens/GasQuizScreen.h"

#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "bank/BankLoader.h"
#include "bank/QuestionSelection.h"
#include "base/Names.h"
#include "base/ProgramLife.h"
#include "platform/Services.h"
#include "screens/ArtControls.h"
#include "screens/GasColumn.h"
#include "screens/SpokenWords.h"
#include "widgets/Accessibility.h"
#include "widgets/ArtPictures.h"

#include <iterator>

namespace vaporica {

namespace {
// Three columns of eight reagent plates, filled top to bottom.
constexpr int ReagentColumnLeft[] = {480, 3195, 5910};
constexpr int ReagentRows = contract::ReagentRows;
static_assert(std::size(ReagentColumnLeft) == contract::ReagentColumns &&
                  std::size(ReagentColumnLeft) * ReagentRows == ReagentCount,
              "The gas quiz shows the reagents in 3 columns of 8 plates: a reagent more or fewer "
              "needs a new layout of the plates");

TwipsRect reagentPlace(int n) {
    return {ReagentColumnLeft[(n - 1) / ReagentRows], 2520 + 615 * ((n - 1) % ReagentRows), 2700,
            600};
}
} // namespace

GasQuizScreen::GasQuizScreen()
    : Form(QStringLiteral("ヴァポリカ"), 11490, 8100), clock_(services().clock),
      gasGroup_(
          HoverGroup::Freezing::WithFrozenFlag,
          [this](int n) {
              Command1(n)->setPicture(loadPicture(PicturePath(fragment::GasNormal, n)));
          },
          [this](int n) {
              Command1(n)->setPicture(loadPicture(PicturePath(fragment::GasHighlighted, n)));
          }) {
    setBackgroundPicture(scalableArtPicture(QStringLiteral(":/art/gasquiz/background.svg")));
    createControls();
}

GasQuizScreen::~GasQuizScreen() = default;

void GasQuizScreen::createControls() {
    Command4 = artButton(this, {6750, 1005, 1560, 480}, ":/art/common/nav-properties.svg",
                         QStringLiteral("性質"));
    Timer1 = new Timer(this);
    Command3 = artButton(this, {6735, 1605, 1560, 480}, ":/art/common/nav-back.svg",
                         QStringLiteral("戻る"));
    Command2 = artButton(this, {6735, 390, 1560, 480}, ":/art/common/nav-quit.svg",
                         QStringLiteral("終了"));
    Frame1 = createGasColumn(this, {8955, 135, 2145, 7560}, Command1);
    Image6 = answerMark(this, {3000, 3405, 3075, 2925}, true, true);
    Image5 = answerMark(this, {2940, 3405, 3165, 3105}, false, false);
    feedback_ = std::make_unique<QuizFeedback>(
        Timer1,
        std::vector<QuizFeedback::Slot>{
            {.group = &gasGroup_,
             .rightChoice = [] { return int(AnswerGas(CurrentQuestion)); },
             .rightMark = Image6,
             .wrongMark = Image5}},
        [] { ScreenSwitch(ScreenId::ApparatusQuiz); });
    for (int n = 1; n <= ReagentCount; ++n) {
        Image1(n) = new ImageBox(this, reagentPlace(n));
        Image1(n)->setPicture(reagentPlatePicture(n));
        Image1(n)->setAccessibleName(reagentName(n));
    }

    // Qt draws later siblings on top: raise from the back of the layout table to its front.
    for (int n = ReagentCount; n >= 1; --n)
        Image1(n)->raise();
    for (QWidget *w : {static_cast<QWidget *>(Image5), static_cast<QWidget *>(Image6),
                       static_cast<QWidget *>(Frame1), static_cast<QWidget *>(Command2),
                       static_cast<QWidget *>(Command3), static_cast<QWidget *>(Command4)})
        w->raise();
    for (int n = GasCount; n >= 1; --n)
        Command1(n)->raise();

    for (int n = 1; n <= GasCount; ++n) {
        Command1(n)->onClick = [this, n] { Command1_Click(n); };
        Command1(n)->onMouseMove = [this, n] { Command1_MouseMove(n); };
    }
    Frame1->onMouseMove = [this] { Frame1_MouseMove(); };
    Timer1->onTick = [this] { Timer1_Timer(); };
    Command2->onClick = [this] { Command2_Click(); };
    Command3->onClick = [this] { Command3_Click(); };
    Command4->onClick = [this] { Command4_Click(); };

    std::vector<QWidget *> tabOrder;
    for (int n = 1; n <= GasCount; ++n)
        tabOrder.push_back(Command1(n));
    tabOrder.insert(tabOrder.end(), {Command2, Command3, Command4});
    setTabOrder(tabOrder);

    // The question plate is part of the background picture; a screen reader reads its words first,
    // then the reagents and the gases in their numbers' order.
    auto *prompt = new SpokenText(this, QAccessible::StaticText, QuestionPrompt,
                                  TwipsRect{540, 1530, 6060, 840}.pixels());
    std::vector<QObject *> readingOrder{prompt};
    for (int n = 1; n <= ReagentCount; ++n)
        readingOrder.push_back(Image1(n));
    readingOrder.insert(readingOrder.end(), {Frame1, Image6, Image5, Command2, Command3, Command4});
    setReadingOrder(readingOrder);
}

void GasQuizScreen::Form_MouseMove() {
    gasGroup_.HoverReset();
}

void GasQuizScreen::Frame1_MouseMove() {
    gasGroup_.HoverReset();
}

// HoverEnter runs the highlight step (HighlightGas) when the group is not frozen.
void GasQuizScreen::Command1_MouseMove(int Index) {
    gasGroup_.HoverEnter(Index);
}

void GasQuizScreen::Form_Load() {
    feedback_->load();
    InitPictures();
    DrawQuestion(*clock_, *services().random);
    ShowQuestion();
}

void GasQuizScreen::InitPictures() {
    for (int n = 1; n <= GasCount; ++n)
        Command1(n)->setPicture(loadPicture(PicturePath(fragment::GasNormal, n)));
    for (int n = 1; n <= ReagentCount; ++n) {
        Image1(n)->setPicture(loadPicture(PicturePath(fragment::ReagentNormal, n)));
        Image1(n)->setAccessibleDescription(QString());
    }
}

void GasQuizScreen::ShowQuestion() {
    for (int k = 1; k <= 2; ++k) {
        const int r = reagentIndex(CurrentQuestion, k, "Image1", ReagentCount);
        Image1(r)->setPicture(loadPicture(PicturePath(fragment::ReagentHighlighted, r)));
        Image1(r)->setAccessibleDescription(QuestionReagent);
    }
    // The highlighted plates say the question at a glance; a screen reader says it on arrival,
    // and again with the gas column whenever the pupil comes back to it.
    const QString question = gasQuestionWords(CurrentQuestion);
    Frame1->setAccessibleDescription(question);
    announceOnArrival(question);
}

void GasQuizScreen::Command1_Click(int Index) {
    feedback_->AnswerClick(GasSlot, Index);
}

void GasQuizScreen::Timer1_Timer() {
    feedback_->FeedbackTick();
}

void GasQuizScreen::Command2_Click() {
    ProgramEnd();
}
void GasQuizScreen::Command3_Click() {
    ScreenSwitch(ScreenId::Menu);
}
void GasQuizScreen::Command4_Click() {
    ScreenSwitch(ScreenId::Properties);
}

} // namespace vaporica
