#include "screens/SummaryScreen.h"

#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "assets/PictureText.h"
#include "base/Names.h"
#include "base/ProgramLife.h"
#include "base/SharedVariables.h"
#include "platform/Services.h"
#include "screens/SpokenWords.h"
#include "widgets/Layout.h"

namespace vaporica {

namespace {
constexpr LayoutFont FrameFont{Face::PMincho, 12, Regular};
// The two frames without a caption colour of their own show the toolkit's default: black text.
constexpr std::uint32_t DefaultCaptionColour = Black;

TwipsRect reagentPlace(int n) {
    return {n == 1 ? 615 : 3555, 240, 2700, 600};
}

using S = SummaryScreen;
// Top to bottom and left to right; no two controls overlap. The image boxes take their picture's
// size; whatever passes a frame's edge is clipped by the frame.
// clang-format off
constexpr LayoutRow<S> Layout[] = {
    {.name = "Frame1", .control = control<&S::Frame1>, .place = {1110, 360, 2595, 915},
     .caption = "気体", .fore = Black, .font = FrameFont, .tab = 1},
    {.name = "Image1", .control = control<&S::Image1>, .inside = "Frame1",
     .place = {615, 240, 1800, 600}},
    {.name = "Frame2", .control = control<&S::Frame2>, .place = {3885, 360, 6405, 930},
     .caption = "薬品", .fore = Black, .font = FrameFont, .tab = 2},
    {.name = "Image2", .control = control<&S::Image2>, .inside = "Frame2", .placeOf = reagentPlace},
    {.name = "Frame3", .control = control<&S::Frame3>, .place = {1110, 1395, 9180, 1875},
     .caption = "化学反応式", .fore = DefaultCaptionColour, .font = FrameFont, .tab = 5},
    {.name = "Image3", .control = control<&S::Image3>, .inside = "Frame3",
     .place = {615, 315, 7275, 1425}, .words = "化学反応式"},
    {.name = "Frame4", .control = control<&S::Frame4>, .place = {1110, 3420, 9195, 3780},
     .caption = "実験装置", .fore = DefaultCaptionColour, .font = FrameFont, .tab = 4},
    {.name = "Image4", .control = control<&S::Image4>, .inside = "Frame4",
     .place = {1860, 75, 4680, 3720}, .words = "実験装置"},
    {.name = "Command4", .control = control<&S::Command4>, .place = {1110, 7365, 2070, 480},
     .art = ":/art/summary/button-menu.svg", .words = "メニュー", .tab = 8,
     .click = &S::Command4_Click},
    {.name = "Command3", .control = control<&S::Command3>, .place = {3480, 7365, 2070, 480},
     .art = ":/art/summary/button-properties.svg", .words = "気体の性質", .tab = 7,
     .click = &S::Command3_Click},
    {.name = "Command2", .control = control<&S::Command2>, .place = {5865, 7365, 2070, 480},
     .art = ":/art/summary/button-next.svg", .words = "ヴァポリカ", .tab = 6,
     .click = &S::Command2_Click},
    {.name = "Command1", .control = control<&S::Command1>, .place = {8250, 7365, 2070, 480},
     .art = ":/art/summary/button-quit.svg", .words = "終了", .tab = 0,
     .click = &S::Command1_Click},
};
// clang-format on
static_assert(framesComeFirst<S>(Layout));
} // namespace

std::span<const LayoutRow<SummaryScreen>> SummaryScreen::layout() {
    return Layout;
}

SummaryScreen::SummaryScreen() : Form(QStringLiteral("まとめ"), Client.width, Client.height) {
    build(layout());
    MediaPlayer1 = services().makeSoundPlayer();
}

SummaryScreen::~SummaryScreen() = default;

// Runs to its end before the window shows, so a missing picture ends the program unseen.
void SummaryScreen::Form_Load() {
    const int q = CurrentQuestion;
    Image1->setPicture(loadPicture(PicturePath(fragment::GasHighlighted, AnswerGas(q))));
    Image1->setAccessibleName(gasName(AnswerGas(q)));
    const QString equation = PicturePath(fragment::Equation, q);
    const QString equationWords = pictureText(equation);
    Image3->setPicture(loadPicture(equation), equationWords);
    const QString apparatus = PicturePath(fragment::Apparatus, ApparatusPicture(q));
    // A set-up drawn without words of its own shows the question's generator and collection.
    QString setUp = pictureText(apparatus);
    if (setUp.isEmpty())
        setUp = setUpWords(q);
    Image4->setPicture(
        loadNumberedPicture(apparatus, QStringLiteral("%1 の問題 %2 の装置図の番号 %3")
                                           .arg(dataPath(DataRoot, fragment::QuestionFile))
                                           .arg(q)
                                           .arg(ApparatusPicture(q))),
        setUp);
    for (int k = 1; k <= 2; ++k) {
        Image2(k)->setPicture(loadPicture(PicturePath(fragment::ReagentNormal, Reagent(q, k))));
        Image2(k)->setAccessibleName(reagentName(Reagent(q, k)));
    }
    announceOnArrival(summaryWords(q, equationWords, setUp));
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
