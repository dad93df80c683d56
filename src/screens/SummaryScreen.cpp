#include "screens/SummaryScreen.h"

#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "assets/PictureText.h"
#include "base/Names.h"
#include "base/ProgramLife.h"
#include "base/SharedVariables.h"
#include "drawing/Fonts.h"
#include "platform/Services.h"
#include "screens/ArtControls.h"
#include "screens/SpokenWords.h"

namespace vaporica {

namespace {
// The two frames without a caption colour of their own show the toolkit's default: black text.
constexpr std::uint32_t DefaultCaptionColour = Black;

Frame *summaryFrame(QWidget *parent, TwipsRect place, const QString &caption,
                    std::uint32_t captionColour) {
    return new Frame(parent, place, caption, PaleYellow, captionColour,
                     minchoFont(PMinchoFace, 12, false));
}

// The row of four buttons along the bottom.
GraphicalButton *pictureButton(QWidget *parent, int left, const char *art, const QString &words) {
    return artButton(parent, {left, 7365, 2070, 480}, art, words);
}
} // namespace

SummaryScreen::SummaryScreen() : Form(QStringLiteral("まとめ"), 11460, 8070) {
    createFrames();
    createButtons();
    MediaPlayer1 = services().makeSoundPlayer();
    setTabOrder({Command1, Command2, Command3, Command4});
}

SummaryScreen::~SummaryScreen() = default;

// No two controls overlap, so creation order needs no restacking. The image boxes take their
// picture's size; whatever passes a frame's edge is clipped by the frame.
void SummaryScreen::createFrames() {
    Frame1 = summaryFrame(this, {1110, 360, 2595, 915}, QStringLiteral("気体"), Black);
    Image1 = new ImageBox(Frame1, {615, 240, 1800, 600});
    Frame2 = summaryFrame(this, {3885, 360, 6405, 930}, QStringLiteral("薬品"), Black);
    Image2(1) = new ImageBox(Frame2, {615, 240, 2700, 600});
    Image2(2) = new ImageBox(Frame2, {3555, 240, 2700, 600});
    Frame3 = summaryFrame(this, {1110, 1395, 9180, 1875}, QStringLiteral("化学反応式"),
                          DefaultCaptionColour);
    Image3 = new ImageBox(Frame3, {615, 315, 7275, 1425});
    Image3->setAccessibleName(QStringLiteral("化学反応式"));
    Frame4 = summaryFrame(this, {1110, 3420, 9195, 3780}, QStringLiteral("実験装置"),
                          DefaultCaptionColour);
    Image4 = new ImageBox(Frame4, {1860, 75, 4680, 3720});
    Image4->setAccessibleName(QStringLiteral("実験装置"));
}

void SummaryScreen::createButtons() {
    Command4 =
        pictureButton(this, 1110, ":/art/summary/button-menu.svg", QStringLiteral("メニュー"));
    Command3 = pictureButton(this, 3480, ":/art/summary/button-properties.svg",
                             QStringLiteral("気体の性質"));
    Command2 =
        pictureButton(this, 5865, ":/art/summary/button-next.svg", QStringLiteral("ヴァポリカ"));
    Command1 = pictureButton(this, 8250, ":/art/summary/button-quit.svg", QStringLiteral("終了"));
    Command1->onClick = [this] { Command1_Click(); };
    Command2->onClick = [this] { Command2_Click(); };
    Command3->onClick = [this] { Command3_Click(); };
    Command4->onClick = [this] { Command4_Click(); };
}

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
