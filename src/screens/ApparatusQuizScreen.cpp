#include "screens/ApparatusQuizScreen.h"

#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "base/Names.h"
#include "base/ProgramLife.h"
#include "drawing/Fonts.h"
#include "screens/ArtControls.h"
#include "screens/SpokenWords.h"
#include "widgets/ArtPictures.h"

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

QFont labelFrameFont() {
    return minchoFont(PMinchoFace, 12, false);
}
QFont questionFrameFont() {
    return minchoFont(PMinchoFace, 15.75, true);
}
} // namespace

ApparatusQuizScreen::ApparatusQuizScreen()
    : Form(QStringLiteral("装置と捕集"), 11460, 8070),
      generatorGroup_(HoverGroup::Freezing::WithFrozenFlag,
                      [this](int n, int style) { Image1(n)->setBorderStyle(style); }),
      collectorGroup_(HoverGroup::Freezing::WithFrozenFlag,
                      [this](int n, int style) { Image2(n)->setBorderStyle(style); }) {
    createControls();
}

ApparatusQuizScreen::~ApparatusQuizScreen() = default;

void ApparatusQuizScreen::createControls() {
    Command2 = artButton(this, {9525, 450, 1560, 480}, ":/art/common/nav-quit.svg",
                         QStringLiteral("終了"));
    createLabelRow();
    createCollectorFrame();
    createGeneratorFrame();
    Timer1 = new Timer(this);
    createFeedback();
    stackFrontToBack();
    connectHandlers();
    // The quit button keeps the first focus; the choices follow in reading order.
    std::vector<QWidget *> tabOrder{Command2};
    for (int n = 1; n <= GeneratorCount; ++n)
        tabOrder.push_back(Image1(n));
    for (int n = 1; n <= CollectorCount; ++n)
        tabOrder.push_back(Image2(n));
    setTabOrder(tabOrder);
    // Read top to bottom: the gas and its reagents, then the two questions.
    setReadingOrder({Frame3, Frame4, Frame1, Frame2, Command2});
}

void ApparatusQuizScreen::createLabelRow() {
    Frame3 = new Frame(this, {435, 60, 2505, 915}, QStringLiteral("気体"), PaleYellow, Black,
                       labelFrameFont());
    Image3 = new ImageBox(Frame3, {615, 240, 1800, 600});
    Frame4 = new Frame(this, {3030, 60, 6390, 930}, QStringLiteral("薬品"), PaleYellow, Black,
                       labelFrameFont());
    for (int k = 1; k <= 2; ++k)
        Image4(k) = new ImageBox(Frame4, ReagentLabelPlace[k - 1]);
}

void ApparatusQuizScreen::createCollectorFrame() {
    Frame2 =
        new Frame(this, {420, 5010, 10665, 2820}, QStringLiteral("気体の捕集方法を選んで下さい"),
                  LightCyan, Red, questionFrameFont());
    Image8 = answerMark(Frame2, {3975, 105, 2820, 2715}, true, false);
    Image7 = answerMark(Frame2, {3960, 105, 2820, 2715}, true, true);
    for (int n = 1; n <= CollectorCount; ++n) {
        Image2(n) = new ImageBox(Frame2, CollectorPlace[n - 1]);
        Image2(n)->setPicture(
            scalableArtPicture(QStringLiteral(":/apparatus/collector%1.svg").arg(n)));
        Image2(n)->setAccessibleName(collectionName(n));
        Image2(n)->makeAnswer();
    }
}

void ApparatusQuizScreen::createGeneratorFrame() {
    Frame1 =
        new Frame(this, {435, 1110, 10665, 3795}, QStringLiteral("気体の発生装置を選んで下さい"),
                  LightCyan, Red, questionFrameFont());
    Image6 = answerMark(Frame1, {3870, 405, 3165, 3105}, false, false);
    Image5 = answerMark(Frame1, {3900, 435, 2985, 2925}, false, true);
    for (int n = 1; n <= GeneratorCount; ++n) {
        Image1(n) = new ImageBox(Frame1, GeneratorPlace[n - 1]);
        Image1(n)->setPicture(
            scalableArtPicture(QStringLiteral(":/apparatus/generator%1.svg").arg(n)));
        Image1(n)->setAccessibleName(generatorWords(n));
        Image1(n)->makeAnswer();
    }
}

void ApparatusQuizScreen::createFeedback() {
    // Each group is frozen after a right click, so the border set here stays until the screen
    // unloads.
    feedback_ = std::make_unique<QuizFeedback>(
        Timer1,
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
}

// Qt draws later siblings on top: raise each container's children from the back of the layout
// table to its front, so the marks cover the choices and take their pointer events.
void ApparatusQuizScreen::stackFrontToBack() {
    for (int n = 1; n <= GeneratorCount; ++n)
        Image1(n)->raise();
    Image5->raise();
    Image6->raise();
    for (int n = 1; n <= CollectorCount; ++n)
        Image2(n)->raise();
    Image7->raise();
    Image8->raise();
    Image4(1)->raise();
    Image4(2)->raise();
    for (QWidget *w : {static_cast<QWidget *>(Frame1), static_cast<QWidget *>(Frame2),
                       static_cast<QWidget *>(Frame4), static_cast<QWidget *>(Frame3),
                       static_cast<QWidget *>(Command2)})
        w->raise();
}

void ApparatusQuizScreen::connectHandlers() {
    for (int n = 1; n <= GeneratorCount; ++n) {
        Image1(n)->onMouseMove = [this, n] { Image1_MouseMove(n); };
        Image1(n)->onClick = [this, n] { Image1_Click(n); };
    }
    for (int n = 1; n <= CollectorCount; ++n) {
        Image2(n)->onMouseMove = [this, n] { Image2_MouseMove(n); };
        Image2(n)->onClick = [this, n] { Image2_Click(n); };
    }
    Frame1->onMouseMove = [this] { Frame1_MouseMove(); };
    Frame2->onMouseMove = [this] { Frame2_MouseMove(); };
    Timer1->onTick = [this] { Timer1_Timer(); };
    Command2->onClick = [this] { Command2_Click(); };
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
    announceOnArrival(apparatusQuestionWords(q));
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

// The switch to the summary needs both slots solved.
void ApparatusQuizScreen::Timer1_Timer() {
    feedback_->FeedbackTick();
}

void ApparatusQuizScreen::Command2_Click() {
    ProgramEnd();
}

} // namespace vaporica
