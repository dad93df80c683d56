#include "screens/PropertiesScreen.h"

#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "assets/PictureText.h"
#include "base/Names.h"
#include "base/ProgramLife.h"
#include "base/SharedVariables.h"
#include "drawing/Fonts.h"
#include "screens/ArtControls.h"
#include "screens/GasColumn.h"
#include "screens/SpokenWords.h"

#include <initializer_list>

namespace vaporica {

namespace {
constexpr int NoteLineHeight = 255;

// The note over the apparatus picture, where the picture shows one preparation of several; the
// material writes it from the gases' table, empty for a gas without one.
QString reagentNote(int gas) {
    return dataText(textPathUnder(DataRoot, fragment::ApparatusNote, gas));
}

Frame *captionedFrame(QWidget *parent, TwipsRect place, const QString &caption) {
    return new Frame(parent, place, caption, PaleYellow, Red, minchoFont(PMinchoFace, 12, false));
}
} // namespace

PropertiesScreen::PropertiesScreen()
    : Form(QStringLiteral("気体の性質"), 11490, 8100),
      gasGroup_(
          HoverGroup::Freezing::WithoutFrozenFlag,
          [this](int n) {
              Command1(n)->setPicture(loadPicture(PicturePath(fragment::GasNormal, n)));
          },
          [this](int n) {
              Command1(n)->setPicture(loadPicture(PicturePath(fragment::GasHighlighted, n)));
          }) {
    createControls();
}

PropertiesScreen::~PropertiesScreen() = default;

void PropertiesScreen::createControls() {
    createShowingPart();
    createNavigation();
    createGasColumn();
    stackFrontToBack();
    connectHandlers();

    std::vector<QWidget *> tabOrder{Command3, Command2};
    for (int n = GasCount; n >= 1; --n)
        tabOrder.push_back(Command1(n));
    tabOrder.push_back(Command4);
    setTabOrder(tabOrder);
}

// The two frames that the first gas click brings up; their image boxes stay empty until then.
void PropertiesScreen::createShowingPart() {
    Frame2 = captionedFrame(this, {555, 60, 5475, 3975}, QStringLiteral("説明"));
    Image3 = new ImageBox(Frame2, {195, 300, 5130, 3555});
    Image3->setAccessibleName(QStringLiteral("性質"));
    Frame3 = captionedFrame(this, {555, 4050, 7530, 3960}, QStringLiteral("実験装置"));
    Image4 = new ImageBox(Frame3, {180, 285, 6405, 2940});
    Image4->setAccessibleName(QStringLiteral("実験装置"));
    Label1 = new Label(Frame3, {5025, 495, 105, 255}, Orange, White,
                       minchoFont(PMinchoFace, 12.75, true));
    for (QWidget *w : {static_cast<QWidget *>(Frame2), static_cast<QWidget *>(Frame3),
                       static_cast<QWidget *>(Label1)})
        w->hide();
}

void PropertiesScreen::createNavigation() {
    Command2 = artButton(this, {6735, 390, 1560, 480}, ":/art/common/nav-quit.svg",
                         QStringLiteral("終了"));
    Command4 = artButton(this, {6735, 1020, 1560, 480}, ":/art/common/nav-quiz.svg",
                         QStringLiteral("ヴァポリカ"));
    Command3 = artButton(this, {6735, 1635, 1560, 480}, ":/art/common/nav-back.svg",
                         QStringLiteral("戻る"));
    Image1 = artImage(this, {6180, 2385, 2550, 1335}, ":/art/properties/title.svg",
                      QStringLiteral("性質"));
    Image2 = artImage(this, {2880, 6090, 4380, 765}, ":/art/properties/banner.svg",
                      QStringLiteral("調べたい気体をクリックして下さい"));
}

// Form_Load loads no pictures, so the buttons show these design-time plates until the first hover.
void PropertiesScreen::createGasColumn() {
    Frame1 = vaporica::createGasColumn(this, {8865, 360, 2145, 7560}, Command1);
}

// Qt draws later siblings on top: raise from the back of the layout table to its front.
void PropertiesScreen::stackFrontToBack() {
    for (QWidget *w : std::initializer_list<QWidget *>{Frame1, Image2, Image1, Command3, Command4,
                                                       Command2, Frame3, Frame2})
        w->raise();
    Image4->raise();
    Label1->raise();
    for (int n = GasCount; n >= 1; --n)
        Command1(n)->raise();
}

void PropertiesScreen::connectHandlers() {
    for (int n = 1; n <= GasCount; ++n) {
        Command1(n)->onClick = [this, n] { Command1_Click(n); };
        Command1(n)->onMouseMove = [this, n] { Command1_MouseMove(n); };
    }
    Frame1->onMouseMove = [this] { Frame1_MouseMove(); };
    Command2->onClick = [this] { Command2_Click(); };
    Command3->onClick = [this] { Command3_Click(); };
    Command4->onClick = [this] { Command4_Click(); };
}

void PropertiesScreen::Form_Load() {
    gasGroup_.load();
}

// HoverEnter runs the highlight step (HighlightGas); this group never freezes.
void PropertiesScreen::Command1_MouseMove(int Index) {
    gasGroup_.HoverEnter(Index);
}

void PropertiesScreen::Form_MouseMove() {
    gasGroup_.HoverReset();
}

void PropertiesScreen::Frame1_MouseMove() {
    gasGroup_.HoverReset();
}

// Neither hover index nor any button picture changes here, so the clicked button keeps its look.
void PropertiesScreen::Command1_Click(int Index) {
    Image2->hide();
    Frame2->show();
    Frame3->show();
    const QString properties = PicturePath(fragment::Properties, Index);
    const QString page = pictureText(properties);
    Image3->setPicture(loadPicture(properties), page);
    const QString apparatus = PicturePath(fragment::Apparatus, GasApparatus(Index));
    const QString setUp = pictureText(apparatus);
    Image4->setPicture(
        loadNumberedPicture(apparatus, QStringLiteral("%1 の気体 %2（%3）の装置図の番号 %4")
                                           .arg(dataPath(DataRoot, fragment::GasApparatusFile))
                                           .arg(Index)
                                           .arg(gasName(Index))
                                           .arg(GasApparatus(Index))),
        setUp);
    const QString note = reagentNote(Index);
    showNote(note);
    // The page appears beside the buttons; a screen reader reads it out as a sighted pupil would.
    announce(sentences({gasName(Index), page, note, setUp}));
}

void PropertiesScreen::showNote(const QString &note) {
    if (note.isEmpty()) {
        Label1->hide();
        return;
    }
    Label1->setCaption(note);
    // The stand-in Mincho face has a taller line box (ascent plus descent) than the face the layout
    // was drawn with; the orange band keeps the layout's one-line height and the glyphs fit in it.
    Label1->resize(Label1->width(), px(NoteLineHeight));
    Label1->show();
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
