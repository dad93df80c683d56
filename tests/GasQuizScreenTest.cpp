#include "screens/GasQuizScreen.h"
#include "screens/ApparatusQuizScreen.h"
#include "screens/MenuScreen.h"
#include "screens/PropertiesScreen.h"

#include "TestSupport.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vaporica::test {
namespace {

// In the standard bank question q asks for gas ((q - 1) mod 14) + 1 from reagents q and q + 4.
constexpr int Question = 3;
constexpr int RightGas = 3;
constexpr int WrongGas = 5;

class GasQuiz : public ProgramTest {
protected:
    // Starts on the menu (which reads the bank) and opens the quiz on the given question.
    GasQuizScreen *open(int question = Question) {
        startProgram();
        random->values = {(question - 0.5f) / 20.0f};
        random->at = 0;
        guarded([] { ScreenSwitch(ScreenId::GasQuiz); });
        return screen<GasQuizScreen>();
    }
    QString gasShown(GasQuizScreen *s, int n) { return fixtureName(s->Command1(n)->picture()); }
    void click(QWidget *w, double at) {
        clock->now = at;
        QTest::mouseClick(w, Qt::LeftButton);
    }
    void tick(GasQuizScreen *s, double at) {
        clock->now = at;
        runHandler(s->Timer1->onTick);
    }
    void moveTo(QWidget *w, QPoint at) { QTest::mouseMove(w, at); }
    void moveTo(QWidget *w) { QTest::mouseMove(w, w->rect().center()); }
    QString sound(const char *file) {
        return data.root() + QStringLiteral("/音/") + QString::fromLatin1(file);
    }
};

TEST_F(GasQuiz, LoadingShowsEveryPictureFromItsFileAndTheQuestionsTwoReagents) {
    GasQuizScreen *s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(s->windowTitle(), QStringLiteral("ヴァポリカ"));
    EXPECT_EQ(s->size(), QSize(766, 540));
    for (int n = 1; n <= 14; ++n)
        EXPECT_EQ(gasShown(s, n), QStringLiteral("gas1(%1)").arg(n));
    for (int n = 1; n <= 24; ++n) {
        const bool asked = n == Question || n == Question + 4;
        EXPECT_EQ(fixtureName(s->Image1(n)->picture()),
                  QStringLiteral("yaku%1(%2)").arg(asked ? 2 : 1).arg(n));
    }
    EXPECT_EQ(CurrentQuestion, Question);
    EXPECT_EQ(UsedFlag(Question), 1);
    EXPECT_FALSE(s->Image5->isVisible());
    EXPECT_FALSE(s->Image6->isVisible());
    EXPECT_EQ(s->Timer1->interval(), 0);
    EXPECT_EQ(std::tuple(s->GasHighlighted(), s->GasHover(), s->GasFrozen(), s->GasSolved(),
                         s->GasWrongPending()),
              std::tuple(1, 1, 0, 0, 0));
    EXPECT_EQ(s->focusWidget(), s->Command1(1));
    EXPECT_EQ(s->Command1(2)->accessibleName(), QStringLiteral("水素"));
    EXPECT_EQ(s->Command2->accessibleName(), QStringLiteral("終了"));
    EXPECT_THROW(s->Command1(15), RuntimeError);
    EXPECT_THROW(s->Image1(0), RuntimeError);
}

TEST_F(GasQuiz, ControlsSitWhereTheLayoutPutsThemAndEarlierRowsCoverLaterOnes) {
    GasQuizScreen *s = open();
    expectPlacements({
        {"Command4", s->Command4, {450, 67, 104, 32}},
        {"Command3", s->Command3, {449, 107, 104, 32}},
        {"Command2", s->Command2, {449, 26, 104, 32}},
        {"Frame1", s->Frame1, {597, 9, 143, 504}},
        {"Command1(1) in Frame1", s->Command1(1), {8, 12, 122, 35}},
        {"Command1(9) in Frame1", s->Command1(9), {8, 291, 122, 35}},
        {"Command1(14) in Frame1", s->Command1(14), {8, 464, 122, 35}},
        {"Image6, stretched", s->Image6, {200, 227, 205, 195}},
        {"Image5, its picture's size", s->Image5, {196, 227, 211, 207}},
        {"Image1(1), its picture's size", s->Image1(1), {32, 168, 180, 40}},
        {"Image1(16)", s->Image1(16), {213, 455, 180, 40}},
        {"Image1(17)", s->Image1(17), {394, 168, 180, 40}},
    });

    // Neighbouring gas buttons 8 and 9 share one pixel row; the earlier one covers it.
    EXPECT_EQ(s->Frame1->childAt(20, 291), s->Command1(8));
    s->Image5->show();
    s->Image6->show();
    const QPoint onPlate = s->Image1(12)->geometry().center(); // under both marks
    EXPECT_EQ(s->childAt(onPlate), s->Image6);
    EXPECT_EQ(s->childAt(QPoint(198, 430)), s->Image5); // below the ring, inside the cross
}

TEST_F(GasQuiz, WrongThenRightMovesOnAboutASecondAfterTheRightClick) {
    GasQuizScreen *s = open();
    click(s->Command1(WrongGas), 100.2);
    EXPECT_EQ(sounds, QStringList{sound("x.wav")});
    EXPECT_TRUE(s->Image5->isVisible());
    EXPECT_FALSE(s->Image6->isVisible());
    EXPECT_EQ(s->Timer1->interval(), 100);

    click(s->Command1(RightGas), 100.7); // while the cross shows: not judged
    EXPECT_EQ(sounds.size(), 1);
    EXPECT_TRUE(s->Image5->isVisible());
    EXPECT_EQ(s->ClickSecond(), 101);
    tick(s, 102.0);
    EXPECT_TRUE(s->Image5->isVisible());
    tick(s, 102.1);
    EXPECT_FALSE(s->Image5->isVisible());
    EXPECT_EQ(s->Timer1->interval(), 0);
    EXPECT_EQ(currentScreen(), s);

    click(s->Command1(RightGas), 110.3);
    EXPECT_EQ(sounds, QStringList({sound("x.wav"), sound("o.wav")}));
    EXPECT_TRUE(s->Image6->isVisible());
    EXPECT_FALSE(s->Image5->isVisible());
    tick(s, 111.0);
    EXPECT_EQ(currentScreen(), s);
    EXPECT_TRUE(s->Image6->isVisible());
    tick(s, 111.1);
    EXPECT_NE(screen<ApparatusQuizScreen>(), nullptr);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(CurrentQuestion, Question);
    EXPECT_TRUE(reports.empty());
}

TEST_F(GasQuiz, TwoQuickRightClicksPlayOneSoundAndSwitchASecondAfterTheSecond) {
    GasQuizScreen *s = open();
    click(s->Command1(RightGas), 100.2);
    click(s->Command1(RightGas), 100.9);
    EXPECT_EQ(sounds, QStringList{sound("o.wav")});
    tick(s, 101.5); // the first click's period would have ended here
    tick(s, 102.0);
    EXPECT_EQ(currentScreen(), s);
    tick(s, 102.1);
    EXPECT_NE(screen<ApparatusQuizScreen>(), nullptr);
}

TEST_F(GasQuiz, TheKeyboardPressesTheFocusedGasButton) {
    GasQuizScreen *s = open(1); // gas 1 is right
    QApplication::setActiveWindow(s);
    ASSERT_EQ(QApplication::focusWidget(), s->Command1(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), s->Command1(2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    clock->now = 100.2;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(sounds, QStringList{sound("o.wav")});
    EXPECT_TRUE(s->Image6->isVisible());
}

TEST_F(GasQuiz, LeavingDuringAPeriodMeansNoSwitchAfterwards) {
    struct Row {
        const char *button;
        std::function<QWidget *(GasQuizScreen *)> pick;
        std::function<bool()> arrived;
    };
    const std::vector<Row> table = {
        {"quit", [](GasQuizScreen *s) { return s->Command2; },
         [] { return programHasEnded() && currentScreen() == nullptr; }},
        {"back", [](GasQuizScreen *s) { return s->Command3; },
         [this] { return screen<MenuScreen>() != nullptr; }},
        {"properties", [](GasQuizScreen *s) { return s->Command4; },
         [this] { return screen<PropertiesScreen>() != nullptr; }},
    };
    for (const Row &row : table) {
        SCOPED_TRACE(row.button);
        resetNavigation();
        sounds.clear();
        GasQuizScreen *s = open();
        click(s->Command1(RightGas), 100.2);
        QTimer *timer = s->findChild<QTimer *>();
        ASSERT_TRUE(timer && timer->isActive());
        click(row.pick(s), 100.4);
        EXPECT_FALSE(timer->isActive());
        EXPECT_TRUE(row.arrived());
        clock->now = 200.0; // long past the period's end
        QTest::qWait(350);  // several tick intervals of the real timer
        EXPECT_TRUE(row.arrived());
        EXPECT_EQ(screen<ApparatusQuizScreen>(), nullptr);
        EXPECT_EQ(sounds.size(), 1);
    }
}

TEST_F(GasQuiz, HoverSwapsPicturesAndTheBackgroundAndFrameRestoreThem) {
    GasQuizScreen *s = open();
    moveTo(s->Command1(1));
    EXPECT_EQ(gasShown(s, 1), QStringLiteral("gas1(1)")) << "item 1 counts as highlighted at load";
    moveTo(s->Command1(2));
    EXPECT_EQ(gasShown(s, 1), QStringLiteral("gas1(1)"));
    EXPECT_EQ(gasShown(s, 2), QStringLiteral("gas2(2)"));
    moveTo(s->Command1(3));
    EXPECT_EQ(gasShown(s, 2), QStringLiteral("gas1(2)"));
    EXPECT_EQ(gasShown(s, 3), QStringLiteral("gas2(3)"));
    moveTo(s->Image1(4)); // reagent plates do not react
    EXPECT_EQ(gasShown(s, 3), QStringLiteral("gas2(3)"));
    moveTo(s->Frame1, QPoint(136, 100)); // beside the buttons
    EXPECT_EQ(gasShown(s, 3), QStringLiteral("gas1(3)"));
    EXPECT_EQ(s->GasHighlighted(), -1);
    moveTo(s->Command1(1));
    EXPECT_EQ(gasShown(s, 1), QStringLiteral("gas2(1)"));
    moveTo(s, QPoint(300, 100)); // bare background
    EXPECT_EQ(gasShown(s, 1), QStringLiteral("gas1(1)"));
    EXPECT_EQ(s->GasHighlighted(), -1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(GasQuiz, EveryChangeOfLookReadsThePictureFileAnew) {
    GasQuizScreen *s = open();
    moveTo(s->Command1(2));
    moveTo(s, QPoint(300, 100));
    data.write(QStringLiteral("気体/gas2(2).gif"),
               DataDirectory::fixturePicture(QStringLiteral("edited"), {120, 40}));
    moveTo(s->Command1(2));
    EXPECT_EQ(gasShown(s, 2), QStringLiteral("edited"));
}

TEST_F(GasQuiz, AfterARightAnswerTheHighlightStaysWhereThePointerLeftIt) {
    GasQuizScreen *s = open();
    moveTo(s->Command1(6));
    click(s->Command1(RightGas), 100.2); // the pointer moves onto button 3 to click it
    const QString three = gasShown(s, RightGas);
    moveTo(s->Command1(7));
    moveTo(s, QPoint(300, 100));
    moveTo(s->Frame1, QPoint(136, 100));
    EXPECT_EQ(gasShown(s, RightGas), three);
    EXPECT_EQ(gasShown(s, 7), QStringLiteral("gas1(7)"));
    EXPECT_EQ(s->GasFrozen(), 1);
}

// A missing picture is in the cross-screen table (MissingPictureTest.cpp); these are the wrong
// ones.
TEST_F(GasQuiz, AWrongPictureEndsTheProgramThroughTheReportNamingIt) {
    struct Row {
        const char *what;
        std::function<void()> spoil;
        std::function<void(GasQuizScreen *)> act; // after loading, when loading succeeds
        QStringList mentioned;
    };
    // A GIF header that declares 5000 × 5000 pixels in a few bytes.
    const QByteArray hugeGif("GIF89a\x88\x13\x88\x13\x80\0\0\0\0\0\xff\xff\xff"
                             ",\0\0\0\0\x88\x13\x88\x13\0\x02\x01\x2c\0;",
                             34);
    // An SVG that draws itself: rendering it recurses until the stack overflows.
    const QByteArray selfDrawingSvg =
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
        "width='180' height='40'><image xlink:href='yaku1(5).gif' width='180' height='40'/></svg>";
    const std::vector<Row> table = {
        {"reagent number outside the plates",
         [this] {
             QByteArray bank = DataDirectory::standardMondai();
             bank.replace("3,3,7,", "3,3,25,");
             data.writeBank(bank, DataDirectory::standardTaiou());
         },
         {},
         {QStringLiteral("Image1(25)"), QStringLiteral("説明/mondai.txt の問題 3 の薬品2"),
          QStringLiteral("が 25 です")}},
        {"an SVG under a picture's name",
         [&] { data.write(QStringLiteral("薬品/yaku1(5).gif"), selfDrawingSvg); },
         {},
         {QStringLiteral("481"), QStringLiteral("SVG 形式は読み込めません"),
          QStringLiteral("yaku1(5).gif")}},
        {"a picture that declares 5000 x 5000 pixels",
         [&] { data.write(QStringLiteral("薬品/yaku1(6).gif"), hugeGif); },
         {},
         {QStringLiteral("481"), QStringLiteral("5000 × 5000"), QStringLiteral("yaku1(6).gif")}},
        {"highlighted gas picture, at the first hover",
         [this] { data.write(QStringLiteral("気体/gas2(2).gif"), "not a picture"); },
         [this](GasQuizScreen *s) { moveTo(s->Command1(2)); },
         {QStringLiteral("gas2(2).gif")}},
        // Last: rewriting the pictures for another row would wait on the pipe.
        {"a named pipe under a picture's name",
         [this] {
             const QString pipe = data.root() + QStringLiteral("/気体/gas1(4).gif");
             data.remove(QStringLiteral("気体/gas1(4).gif"));
             ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
         },
         {},
         {QStringLiteral("75"), QStringLiteral("gas1(4).gif")}},
    };
    for (const Row &row : table) {
        SCOPED_TRACE(row.what);
        resetNavigation();
        reports.clear();
        data.writeBank(DataDirectory::standardMondai(), DataDirectory::standardTaiou());
        data.writeQuizPictures();
        row.spoil();
        GasQuizScreen *s = open();
        if (row.act) {
            ASSERT_NE(s, nullptr);
            EXPECT_TRUE(reports.empty());
            row.act(s);
        }
        EXPECT_TRUE(programHasEnded());
        EXPECT_NE(programExitStatus(), 0);
        ASSERT_EQ(reports.size(), 1u);
        for (const QString &part : row.mentioned)
            EXPECT_TRUE(reports[0].contains(part)) << reports[0].toStdString();
    }
}

} // namespace
} // namespace vaporica::test
