#include "screens/PropertiesScreen.h"

#include "assets/DataPaths.h"
#include "assets/PictureLoader.h"
#include "assets/PictureText.h"
#include "base/Names.h"
#include "base/ProgramLife.h"
#include "base/SharedVariables.h"
#include "screens/ArtControls.h"
#include "screens/GasColumn.h"
#include "screens/SpokenWords.h"
#include "widgets/ArtPictures.h"
#include "widgets/Layout.h"

namespace vaporica {

namespace {
constexpr int NoteLineHeight = 255;

// The note over the apparatus picture, where the picture shows one preparation of several; the
// material writes it from the gases' table, empty for a gas without one.
QString reagentNote(int gas) {
    return dataText(textPathUnder(DataRoot, fragment::ApparatusNote, gas));
}

constexpr LayoutFont FrameFont{Face::PMincho, 12, Regular};

using S = PropertiesScreen;
// Front to back. The two frames that the first gas click brings up hold empty image boxes until
// then; the gas buttons show their design-time plates until the first hover, as Form_Load loads
// no pictures.
// clang-format off
constexpr LayoutRow<S> Layout[] = {
    {.name = "Frame2", .control = control<&S::Frame2>, .place = {555, 60, 5475, 3975},
     .caption = "説明", .fore = Red, .font = FrameFont, .hidden = true, .tab = 2},
    {.name = "Image3", .control = control<&S::Image3>, .inside = "Frame2",
     .place = {195, 300, 5130, 3555}, .words = "性質"},
    {.name = "Frame3", .control = control<&S::Frame3>, .place = {555, 4050, 7530, 3960},
     .caption = "実験装置", .fore = Red, .font = FrameFont, .hidden = true, .tab = 3},
    // The note is read after the picture it is written over.
    {.name = "Label1", .control = control<&S::Label1>, .inside = "Frame3",
     .place = {5025, 495, 105, 255}, .back = Orange, .fore = White,
     .font = {Face::PMincho, 12.75, Bold}, .hidden = true, .tab = 19, .reading = 1},
    {.name = "Image4", .control = control<&S::Image4>, .inside = "Frame3",
     .place = {180, 285, 6405, 2940}, .words = "実験装置", .reading = 0},
    {.name = "Command2", .control = control<&S::Command2>, .place = {6735, 390, 1560, 480},
     .art = QuitArt, .words = "終了", .tab = 1, .click = &S::Command2_Click},
    {.name = "Command4", .control = control<&S::Command4>, .place = {6735, 1020, 1560, 480},
     .art = ":/art/common/nav-quiz.svg", .words = "ヴァポリカ", .tab = 20,
     .click = &S::Command4_Click},
    {.name = "Command3", .control = control<&S::Command3>, .place = {6735, 1635, 1560, 480},
     .art = BackArt, .words = "戻る", .tab = 0, .click = &S::Command3_Click},
    {.name = "Image1", .control = control<&S::Image1>, .place = {6180, 2385, 2550, 1335},
     .art = ":/art/properties/title.svg", .words = "性質"},
    {.name = "Image2", .control = control<&S::Image2>, .place = {2880, 6090, 4380, 765},
     .art = ":/art/properties/banner.svg", .words = "調べたい気体をクリックして下さい"},
    {.name = "Frame1", .control = control<&S::Frame1>, .place = {8865, 360, 2145, 7560},
     .words = GasColumnWords, .back = GasColumnPink, .fore = Red, .font = {Face::Mincho, 12, Bold},
     .tab = 4, .mouseMove = &S::Frame1_MouseMove},
    {.name = "Command1", .control = control<&S::Command1>, .inside = "Frame1",
     .placeOf = gasButtonPlace, .plateOf = gasPlatePicture, .wordsOf = gasName, .tab = 18,
     .tabStep = -1, .click = &S::Command1_Click, .mouseMove = &S::Command1_MouseMove},
};
// clang-format on
static_assert(framesComeFirst<S>(Layout));
} // namespace

std::span<const LayoutRow<PropertiesScreen>> PropertiesScreen::layout() {
    return Layout;
}

PropertiesScreen::PropertiesScreen()
    : Form(QStringLiteral("気体の性質"), Client.width, Client.height),
      gasGroup_(
          HoverGroup::Freezing::WithoutFrozenFlag,
          [this](int n) {
              Command1(n)->setPicture(loadPicture(PicturePath(fragment::GasNormal, n)));
          },
          [this](int n) {
              Command1(n)->setPicture(loadPicture(PicturePath(fragment::GasHighlighted, n)));
          }) {
    build(layout());
}

PropertiesScreen::~PropertiesScreen() = default;

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
