#include "screens/ApparatusQuizScreen.h"

#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "base/Names.h"
#include "base/ProgramLife.h"
#include "screens/ArtControls.h"
#include "screens/SpokenWords.h"
#include "widgets/Layout.h"

namespace vaporica {

namespace {
constexpr std::uint32_t LightCyan = 0x00FFFFC0;

constexpr TwipsRect GeneratorPlace[GeneratorCount] = {{810, 855, 1125, 2805},
                                                      {2565, 930, 2055, 2790},
                                                      {5025, 1485, 2130, 2220},
                                                      {7710, 210, 1800, 3510}};
constexpr TwipsRect CollectorPlace[CollectorCount] = {
    {1575, 750, 1395, 1785}, {4305, 750, 1335, 1785}, {6765, 480, 2685, 2040}};
constexpr TwipsRect ReagentLabelPlace[2] = {{615, 240, 2700, 600}, {3480, 240, 2700, 600}};

TwipsRect generatorPlace(int n) {
    return GeneratorPlace[n - 1];
}
TwipsRect collectorPlace(int n) {
    return CollectorPlace[n - 1];
}
TwipsRect reagentLabelPlace(int n) {
    return ReagentLabelPlace[n - 1];
}

using S = ApparatusQuizScreen;
using Row = LayoutRow<S>;

constexpr LayoutFont LabelFrameFont{Face::PMincho, 12, Regular};
constexpr LayoutFont QuestionFrameFont{Face::PMincho, 15.75, Bold};

// Read top to bottom: the gas and its reagents, then the two questions.
// clang-format off
constexpr std::array<Row, 5> LabelRow{{
    {.name = "Command2", .control = control<&S::Command2>, .place = {9525, 450, 1560, 480},
     .art = QuitArt, .words = "終了", .tab = 4, .reading = 4, .click = &S::Command2_Click},
    {.name = "Frame3", .control = control<&S::Frame3>, .place = {435, 60, 2505, 915},
     .caption = "気体", .font = LabelFrameFont, .tab = 3, .reading = 0},
    {.name = "Image3", .control = control<&S::Image3>, .inside = "Frame3",
     .place = {615, 240, 1800, 600}},
    {.name = "Frame4", .control = control<&S::Frame4>, .place = {3030, 60, 6390, 930},
     .caption = "薬品", .font = LabelFrameFont, .tab = 2, .reading = 1},
    {.name = "Image4", .control = control<&S::Image4>, .inside = "Frame4",
     .placeOf = reagentLabelPlace, .stack = Stack::LastInFront},
}};
// clang-format on

// A question frame: its ring and cross over the middle, in front of the choice pictures, which
// answer it and join the tab order after the quit button.
struct ChoiceFrame {
    Row frame;
    Row wrongMark;
    Row rightMark;
    Row choices;
};
constexpr std::array<Row, 4> rowsOf(ChoiceFrame f) {
    f.frame.back = LightCyan;
    f.frame.fore = Red;
    f.frame.font = QuestionFrameFont;
    for (Row *mark : {&f.wrongMark, &f.rightMark}) {
        mark->inside = f.frame.name;
        mark->hidden = true;
    }
    f.wrongMark.art = WrongMarkArt;
    f.wrongMark.words = WrongMarkWords;
    f.rightMark.art = RightMarkArt;
    f.rightMark.words = RightMarkWords;
    f.choices.inside = f.frame.name;
    f.choices.stack = Stack::LastInFront;
    f.choices.answer = true;
    return {f.frame, f.wrongMark, f.rightMark, f.choices};
}

// clang-format off
constexpr auto Layout = joinedRows(LabelRow,
    rowsOf({
        .frame = {.name = "Frame2", .control = control<&S::Frame2>,
                  .place = {420, 5010, 10665, 2820}, .caption = "気体の捕集方法を選んで下さい",
                  .tab = 1, .reading = 3, .mouseMove = &S::Frame2_MouseMove},
        .wrongMark = {.name = "Image8", .control = control<&S::Image8>,
                      .place = {3975, 105, 2820, 2715}, .stretch = true},
        .rightMark = {.name = "Image7", .control = control<&S::Image7>,
                      .place = {3960, 105, 2820, 2715}, .stretch = true},
        .choices = {.name = "Image2", .control = control<&S::Image2>, .placeOf = collectorPlace,
                    .art = ":/apparatus/collector%1.svg", .wordsOf = collectionName, .tab = 10,
                    .click = &S::Image2_Click, .mouseMove = &S::Image2_MouseMove}}),
    rowsOf({
        .frame = {.name = "Frame1", .control = control<&S::Frame1>,
                  .place = {435, 1110, 10665, 3795}, .caption = "気体の発生装置を選んで下さい",
                  .tab = 0, .reading = 2, .mouseMove = &S::Frame1_MouseMove},
        .wrongMark = {.name = "Image6", .control = control<&S::Image6>,
                      .place = {3870, 405, 3165, 3105}},
        .rightMark = {.name = "Image5", .control = control<&S::Image5>,
                      .place = {3900, 435, 2985, 2925}},
        .choices = {.name = "Image1", .control = control<&S::Image1>, .placeOf = generatorPlace,
                    .art = ":/apparatus/generator%1.svg", .wordsOf = generatorWords, .tab = 6,
                    .click = &S::Image1_Click, .mouseMove = &S::Image1_MouseMove}}));
// clang-format on
static_assert(framesComeFirst<S>(Layout));
} // namespace

std::span<const LayoutRow<ApparatusQuizScreen>> ApparatusQuizScreen::layout() {
    return Layout;
}

ApparatusQuizScreen::ApparatusQuizScreen()
    : Form(QStringLiteral("装置と捕集"), Client.width, Client.height),
      generatorGroup_(HoverGroup::Freezing::WithFrozenFlag,
                      [this](int n, int style) { Image1(n)->setBorderStyle(style); }),
      collectorGroup_(HoverGroup::Freezing::WithFrozenFlag,
                      [this](int n, int style) { Image2(n)->setBorderStyle(style); }) {
    build(layout());
    createFeedback();
}

ApparatusQuizScreen::~ApparatusQuizScreen() = default;

void ApparatusQuizScreen::createFeedback() {
    // Each group is frozen after a right click, so the border set here stays until the screen
    // unloads.
    feedback_ = std::make_unique<QuizFeedback>(
        *this,
        QuizFeedback::Sounds{SoundPath(fragment::RightSound), SoundPath(fragment::WrongSound)},
        std::vector<QuizFeedback::Slot>{
            {.group = &generatorGroup_,
             .rightChoice = [] { return int(GeneratorAnswer(CurrentQuestion)); },
             .rightMark = Image5,
             .wrongMark = Image6,
             .onRight = [this](int n) { Image1(n)->setBorderStyle(1); },
             .topic = QStringLiteral("発生装置")},
            {.group = &collectorGroup_,
             .rightChoice = [] { return int(CollectorAnswer(CurrentQuestion)); },
             .rightMark = Image7,
             .wrongMark = Image8,
             .onRight = [this](int n) { Image2(n)->setBorderStyle(1); },
             .topic = QStringLiteral("捕集方法")}},
        [] { ScreenSwitch(ScreenId::Summary); });
    Timer1 = feedback_->timer();
}

void ApparatusQuizScreen::Form_Load() {
    feedback_->load();
    const int q = CurrentQuestion;
    Image3->setPicture(loadPicture(PicturePath(fragment::GasHighlighted, AnswerGas(q))));
    Image3->setAccessibleName(gasName(AnswerGas(q)));
    for (int k = 1; k <= 2; ++k) {
        Image4(k)->setPicture(loadPicture(PicturePath(fragment::ReagentNormal, Reagent(q, k))));
        Image4(k)->setAccessibleName(reagentName(Reagent(q, k)));
    }
    // Said on arrival, and again with each choice, as the pictures at the top show it throughout.
    const QString question = apparatusQuestionWords(q);
    for (int n = 1; n <= GeneratorCount; ++n)
        Image1(n)->setAccessibleDescription(question);
    for (int n = 1; n <= CollectorCount; ++n)
        Image2(n)->setAccessibleDescription(question);
    announceOnArrival(question);
}

// HoverEnter runs the highlight step (HighlightGenerator / HighlightCollector) when not frozen.
void ApparatusQuizScreen::Image1_MouseMove(int Index) {
    generatorGroup_.HoverEnter(Index);
}
void ApparatusQuizScreen::Image2_MouseMove(int Index) {
    collectorGroup_.HoverEnter(Index);
}

void ApparatusQuizScreen::Frame1_MouseMove() {
    generatorGroup_.HoverReset();
}
void ApparatusQuizScreen::Frame2_MouseMove() {
    collectorGroup_.HoverReset();
}

// Clears both HighlightedIndex values even while a group is frozen; a frozen border stays.
void ApparatusQuizScreen::Form_MouseMove() {
    BackgroundReset({&generatorGroup_, &collectorGroup_});
}

void ApparatusQuizScreen::Image1_Click(int Index) {
    feedback_->AnswerClick(GeneratorSlot, Index);
}
void ApparatusQuizScreen::Image2_Click(int Index) {
    feedback_->AnswerClick(CollectorSlot, Index);
}

void ApparatusQuizScreen::Command2_Click() {
    ProgramEnd();
}

} // namespace vaporica
