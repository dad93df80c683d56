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
#include "widgets/ArtPictures.h"
#include "widgets/Layout.h"

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

using S = GasQuizScreen;
// Front to back. A screen reader reads the question plate of the background first, then the
// reagents and the gases in their numbers' order.
// clang-format off
constexpr LayoutRow<S> Layout[] = {
    {.name = "Command4", .control = control<&S::Command4>, .place = {6750, 1005, 1560, 480},
     .art = ":/art/common/nav-properties.svg", .words = "性質", .tab = 18, .reading = 7,
     .click = &S::Command4_Click},
    {.name = "Command3", .control = control<&S::Command3>, .place = {6735, 1605, 1560, 480},
     .art = BackArt, .words = "戻る", .tab = 16, .reading = 6, .click = &S::Command3_Click},
    {.name = "Command2", .control = control<&S::Command2>, .place = {6735, 390, 1560, 480},
     .art = QuitArt, .words = "終了", .tab = 15, .reading = 5, .click = &S::Command2_Click},
    {.name = "Frame1", .control = control<&S::Frame1>, .place = {8955, 135, 2145, 7560},
     .words = GasColumnWords, .back = GasColumnPink, .fore = Red, .font = {Face::Mincho, 12, Bold},
     .tab = 0, .reading = 2, .mouseMove = &S::Frame1_MouseMove},
    {.name = "Command1", .control = control<&S::Command1>, .inside = "Frame1",
     .placeOf = gasButtonPlace, .plateOf = gasPlatePicture, .wordsOf = gasName, .tab = 1,
     .click = &S::Command1_Click, .mouseMove = &S::Command1_MouseMove},
    {.name = "Image6", .control = control<&S::Image6>, .place = {3000, 3405, 3075, 2925},
     .art = RightMarkArt, .words = RightMarkWords, .hidden = true, .stretch = true, .reading = 3},
    {.name = "Image5", .control = control<&S::Image5>, .place = {2940, 3405, 3165, 3105},
     .art = WrongMarkArt, .words = WrongMarkWords, .hidden = true, .reading = 4},
    {.name = "Image1", .control = control<&S::Image1>, .placeOf = reagentPlace,
     .plateOf = reagentPlatePicture, .wordsOf = reagentName, .reading = 1},
    {.name = "Prompt", .control = spokenWords<S>, .place = {540, 1530, 6060, 840},
     .words = QuestionPromptWords, .reading = 0},
};
// clang-format on
static_assert(framesComeFirst<S>(Layout));

} // namespace

std::span<const LayoutRow<GasQuizScreen>> GasQuizScreen::layout() {
    return Layout;
}

GasQuizScreen::GasQuizScreen()
    : Form(QStringLiteral("ヴァポリカ"), Client.width, Client.height), clock_(services().clock),
      gasGroup_(
          HoverGroup::Freezing::WithFrozenFlag,
          [this](int n) {
              Command1(n)->setPicture(loadPicture(PicturePath(fragment::GasNormal, n)));
          },
          [this](int n) {
              Command1(n)->setPicture(loadPicture(PicturePath(fragment::GasHighlighted, n)));
          }) {
    setBackgroundPicture(scalableArtPicture(QStringLiteral(":/art/gasquiz/background.svg")));
    build(layout());
    feedback_ = std::make_unique<QuizFeedback>(
        *this,
        QuizFeedback::Sounds{SoundPath(fragment::RightSound), SoundPath(fragment::WrongSound)},
        std::vector<QuizFeedback::Slot>{
            {.group = &gasGroup_,
             .rightChoice = [] { return int(AnswerGas(CurrentQuestion)); },
             .rightMark = Image6,
             .wrongMark = Image5}},
        [] { ScreenSwitch(ScreenId::ApparatusQuiz); });
    Timer1 = feedback_->timer();
}

GasQuizScreen::~GasQuizScreen() = default;

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
    // and again after each gas's name, and whenever the pupil asks where the focus is.
    const QString question = gasQuestionWords(CurrentQuestion);
    Frame1->setAccessibleDescription(question);
    for (int n = 1; n <= GasCount; ++n)
        Command1(n)->setAccessibleDescription(question);
    announceOnArrival(question);
}

void GasQuizScreen::Command1_Click(int Index) {
    feedback_->AnswerClick(GasSlot, Index);
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
