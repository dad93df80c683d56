#include "screens/SummaryScreen.h"
#include "screens/ApparatusQuizScreen.h"
#include "screens/GasQuizScreen.h"
#include "screens/MenuScreen.h"

#include "TestSupport.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace vaporica::test {
namespace {

class Summary : public ProgramTest {
protected:
    SummaryScreen *open(int question) {
        startProgram();
        CurrentQuestion = static_cast<Integer>(question);
        guarded([] { ScreenSwitch(ScreenId::Summary); });
        return screen<SummaryScreen>();
    }
    ApparatusQuizScreen *openApparatusQuiz(int question) {
        startProgram();
        CurrentQuestion = static_cast<Integer>(question);
        guarded([] { ScreenSwitch(ScreenId::ApparatusQuiz); });
        return screen<ApparatusQuizScreen>();
    }
    // The way a pupil gets here: both apparatus answers right, then the period ends.
    void answerBothRight(ApparatusQuizScreen *quiz) {
        const int q = CurrentQuestion;
        clock->now = 100.2;
        QTest::mouseClick(quiz->Image1(GeneratorAnswer(q)), Qt::LeftButton);
        QTest::mouseClick(quiz->Image2(CollectorAnswer(q)), Qt::LeftButton);
        clock->now = 101.1;
        runHandler(quiz->Timer1->onTick);
    }
    void drawNext(float value) {
        random->values = {value};
        random->at = 0;
    }
    static float drawing(int question) { return (question - 0.5f) / 20.0f; }
};

// In the standard bank question q asks for gas ((q - 1) mod 14) + 1 from reagents q and q + 4, and
// shows apparatus picture (q mod 5) + 1; gas g's properties page shows apparatus (g mod 5) + 1.
TEST_F(Summary, ShowsTheFivePicturesOfTheCurrentQuestion) {
    struct Row {
        int question;
        const char *gas, *equation, *apparatus, *reagent1, *reagent2;
    };
    const std::vector<Row> table = {
        {3, "gas2(3)", "siki(3)", "souti(4)", "yaku1(3)", "yaku1(7)"},
        // The same gas as question 3: its own equation, and the question's apparatus picture,
        // not the one the properties page of gas 3 shows.
        {17, "gas2(3)", "siki(17)", "souti(3)", "yaku1(17)", "yaku1(21)"},
    };
    for (const Row &row : table) {
        SCOPED_TRACE(row.question);
        resetNavigation();
        ApparatusQuizScreen *quiz = openApparatusQuiz(row.question);
        ASSERT_NE(quiz, nullptr);
        answerBothRight(quiz);
        SummaryScreen *s = screen<SummaryScreen>();
        ASSERT_NE(s, nullptr);
        EXPECT_TRUE(s->isVisible());
        EXPECT_EQ(fixtureName(s->Image1->picture()), QString::fromLatin1(row.gas));
        EXPECT_EQ(fixtureName(s->Image3->picture()), QString::fromLatin1(row.equation));
        EXPECT_EQ(fixtureName(s->Image4->picture()), QString::fromLatin1(row.apparatus));
        EXPECT_EQ(fixtureName(s->Image2(1)->picture()), QString::fromLatin1(row.reagent1));
        EXPECT_EQ(fixtureName(s->Image2(2)->picture()), QString::fromLatin1(row.reagent2));
    }
    EXPECT_EQ(sounds.size(), 4) << "two right answers per question, nothing from the summary";
    EXPECT_TRUE(reports.empty());
}

TEST_F(Summary, LayoutButtonsAndFocus) {
    SummaryScreen *s = open(3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->windowTitle(), QStringLiteral("まとめ"));
    EXPECT_EQ(s->size(), QSize(764, 538));
    expectPlacements({
        {"Frame1", s->Frame1, {74, 24, 173, 61}},
        {"Image1, its picture's size", s->Image1, {41, 16, 120, 40}},
        {"Frame2", s->Frame2, {259, 24, 427, 62}},
        {"Image2(1)", s->Image2(1), {41, 16, 180, 40}},
        {"Image2(2)", s->Image2(2), {237, 16, 180, 40}},
        {"Frame3", s->Frame3, {74, 93, 612, 125}},
        {"Image3", s->Image3, {41, 21, 485, 95}},
        {"Frame4", s->Frame4, {74, 228, 613, 252}},
        {"Image4", s->Image4, {124, 5, 312, 248}},
        {"Command4", s->Command4, {74, 491, 138, 32}},
        {"Command3", s->Command3, {232, 491, 138, 32}},
        {"Command2", s->Command2, {391, 491, 138, 32}},
        {"Command1", s->Command1, {550, 491, 138, 32}},
    });

    const std::vector<std::pair<Frame *, const char *>> captions = {{s->Frame1, "気体"},
                                                                    {s->Frame2, "薬品"},
                                                                    {s->Frame3, "化学反応式"},
                                                                    {s->Frame4, "実験装置"}};
    for (const auto &[frame, caption] : captions) {
        EXPECT_EQ(frame->caption(), QString::fromUtf8(caption));
        EXPECT_EQ(frame->font().family(), QStringLiteral("ＭＳ Ｐ明朝"));
        EXPECT_EQ(frame->font().pixelSize(), 16); // 12 points at the layout's 96 pixels per inch
        EXPECT_FALSE(frame->font().bold());
    }
    const std::vector<std::pair<GraphicalButton *, const char *>> buttons = {
        {s->Command1, "終了"},
        {s->Command2, "ヴァポリカ"},
        {s->Command3, "気体の性質"},
        {s->Command4, "メニュー"}};
    for (const auto &[button, words] : buttons) {
        EXPECT_EQ(button->picture().size(), QSize(134, 32)) << words;
        EXPECT_EQ(button->accessibleName(), QString::fromUtf8(words));
    }

    // Tab runs right to left along the row and round again.
    QApplication::setActiveWindow(s);
    ASSERT_EQ(QApplication::focusWidget(), s->Command1);
    for (QWidget *next :
         {static_cast<QWidget *>(s->Command2), static_cast<QWidget *>(s->Command3),
          static_cast<QWidget *>(s->Command4), static_cast<QWidget *>(s->Command1)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    EXPECT_TRUE(s->findChildren<QTimer *>().isEmpty());
    QTest::keyClick(s->Command1, Qt::Key_Return);
    EXPECT_TRUE(programHasEnded());
    EXPECT_EQ(programExitStatus(), 0);
    EXPECT_TRUE(sounds.isEmpty());
}

TEST_F(Summary, APictureLargerThanItsBoxIsCutOffAtTheFrameEdge) {
    data.write(QStringLiteral("反応式/siki(3).gif"),
               DataDirectory::fixturePicture(QStringLiteral("wide"), {800, 200}));
    SummaryScreen *s = open(3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Image3->size(), QSize(800, 200));
    const QColor picture = s->Image3->picture().pixelColor(799, 0); // away from the name's pixels
    const QImage look = s->grab().toImage();
    const QRect frame = s->Frame3->geometry();
    EXPECT_EQ(look.pixelColor(frame.right() - 10, frame.center().y()), picture);
    EXPECT_EQ(look.pixelColor(frame.right() + 5, frame.center().y()), QColor(255, 255, 192));
    EXPECT_EQ(look.pixelColor(frame.center().x(), frame.bottom() + 4), QColor(255, 255, 192));
}

TEST_F(Summary, NextQuestionKeepsTheRecentWindowAndTheMenuEmptiesIt) {
    startProgram();
    drawNext(drawing(3));
    guarded([] { ScreenSwitch(ScreenId::GasQuiz); });
    ASSERT_EQ(CurrentQuestion, 3);
    guarded([] { ScreenSwitch(ScreenId::Summary); });

    drawNext(drawing(3)); // the same draw again must be turned away
    QTest::mouseClick(screen<SummaryScreen>()->Command2, Qt::LeftButton);
    ASSERT_NE(screen<GasQuizScreen>(), nullptr);
    EXPECT_NE(CurrentQuestion, 3);
    EXPECT_EQ(UsedFlag(3), 1);
    const int second = CurrentQuestion;

    guarded([] { ScreenSwitch(ScreenId::Summary); });
    QTest::mouseClick(screen<SummaryScreen>()->Command4, Qt::LeftButton);
    ASSERT_NE(screen<MenuScreen>(), nullptr);
    for (int q : {3, second})
        EXPECT_EQ(UsedFlag(q), 0) << q;
    drawNext(drawing(3));
    QTest::mouseClick(screen<MenuScreen>()->Command1, Qt::LeftButton);
    EXPECT_EQ(CurrentQuestion, 3);
    EXPECT_TRUE(reports.empty());
}

} // namespace
} // namespace vaporica::test
