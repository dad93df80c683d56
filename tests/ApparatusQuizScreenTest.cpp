#include "screens/ApparatusQuizScreen.h"
#include "screens/SummaryScreen.h"

#include "TestSupport.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace vaporica::test {
namespace {

// In the standard bank question 3 asks for gas 3 from reagents 3 and 7; generator 3 and
// collection method 3 are right.
constexpr int Question = 3;
constexpr int RightGenerator = 3;
constexpr int RightCollector = 3;

class ApparatusQuiz : public ProgramTest {
protected:
    ApparatusQuizScreen *open() {
        startProgram();
        CurrentQuestion = Question;
        guarded([] { ScreenSwitch(ScreenId::ApparatusQuiz); });
        return screen<ApparatusQuizScreen>();
    }
    void click(QWidget *w, double at) {
        clock->now = at;
        QTest::mouseClick(w, Qt::LeftButton);
    }
    void tick(ApparatusQuizScreen *s, double at) {
        clock->now = at;
        runHandler(s->Timer1->onTick);
    }
    void moveTo(QWidget *w, QPoint at) { QTest::mouseMove(w, at); }
    void moveTo(QWidget *w) { QTest::mouseMove(w, w->rect().center()); }
    // Through the window, so the control under the point receives the event as for a real pointer.
    void clickAt(ApparatusQuizScreen *s, QPoint inForm, double at) {
        clock->now = at;
        QTest::mouseClick(s->windowHandle(), Qt::LeftButton, {}, inForm);
    }
    void moveAt(ApparatusQuizScreen *s, QPoint inForm) {
        QTest::mouseMove(s->windowHandle(), inForm);
    }
    QString sound(const char *file) {
        return data.root() + QStringLiteral("/音/") + QString::fromLatin1(file);
    }
    static std::vector<int> generatorBorders(ApparatusQuizScreen *s) {
        std::vector<int> b;
        for (int n = 1; n <= 4; ++n)
            b.push_back(s->Image1(n)->borderStyle());
        return b;
    }
    static std::vector<int> collectorBorders(ApparatusQuizScreen *s) {
        std::vector<int> b;
        for (int n = 1; n <= 3; ++n)
            b.push_back(s->Image2(n)->borderStyle());
        return b;
    }
    static std::vector<bool> marks(ApparatusQuizScreen *s) {
        return {s->Image5->isVisible(), s->Image6->isVisible(), s->Image7->isVisible(),
                s->Image8->isVisible()};
    }
    // Image5..Image8: generator ring, generator cross, collector ring, collector cross.
    static constexpr bool Shown = true, Hidden = false;
    const QPoint background{10, 330}; // between the frames, left of everything
};

TEST_F(ApparatusQuiz, LoadingShowsTheQuestionsLabelsAndOpensEveryChoice) {
    ApparatusQuizScreen *s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(s->windowTitle(), QStringLiteral("装置と捕集"));
    EXPECT_EQ(fixtureName(s->Image3->picture()), QStringLiteral("gas2(3)"));
    EXPECT_EQ(fixtureName(s->Image4(1)->picture()), QStringLiteral("yaku1(3)"));
    EXPECT_EQ(fixtureName(s->Image4(2)->picture()), QStringLiteral("yaku1(7)"));
    EXPECT_EQ(std::tuple(s->GeneratorHighlighted(), s->GeneratorHover(), s->CollectorHighlighted(),
                         s->CollectorHover()),
              std::tuple(1, 1, 1, 1));
    EXPECT_EQ(std::tuple(s->GeneratorSolved(), s->CollectorSolved(), s->GeneratorWrongPending(),
                         s->CollectorWrongPending(), s->GeneratorFrozen(), s->CollectorFrozen()),
              std::tuple(0, 0, 0, 0, 0, 0));
    EXPECT_EQ(marks(s), std::vector<bool>(4, Hidden));
    EXPECT_EQ(generatorBorders(s), std::vector<int>(4, 0));
    EXPECT_EQ(collectorBorders(s), std::vector<int>(3, 0));
    EXPECT_EQ(s->Timer1->interval(), 0);
    EXPECT_EQ(s->Image1(2)->accessibleName(), QStringLiteral("試験管に入れた液体を加熱する"));
    EXPECT_EQ(s->Image2(3)->accessibleName(), QStringLiteral("水上置換"));
    EXPECT_EQ(s->Command2->accessibleName(), QStringLiteral("終了"));
    EXPECT_THROW(s->Image1(5), RuntimeError);
    EXPECT_THROW(s->Image2(0), RuntimeError);

    // The quit button takes the first focus; the seven choices follow it, by the keyboard only.
    const std::vector<QWidget *> choices = {s->Image1(1), s->Image1(2), s->Image1(3), s->Image1(4),
                                            s->Image2(1), s->Image2(2), s->Image2(3)};
    for (QWidget *w : s->findChildren<QWidget *>()) {
        const bool choice = std::find(choices.begin(), choices.end(), w) != choices.end();
        const Qt::FocusPolicy expected = w == s->Command2 ? Qt::StrongFocus
                                         : choice         ? Qt::TabFocus
                                                          : Qt::NoFocus;
        EXPECT_EQ(w->focusPolicy(), expected) << w->metaObject()->className();
    }
    QApplication::setActiveWindow(s);
    ASSERT_EQ(QApplication::focusWidget(), s->Command2);
    std::vector<QWidget *> visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(s->windowHandle(), Qt::Key_Tab);
        visited.push_back(QApplication::focusWidget());
    }
    std::vector<QWidget *> cycle = choices;
    cycle.push_back(s->Command2);
    EXPECT_EQ(visited, cycle);
    QTest::keyClick(s->Command2, Qt::Key_Space);
    EXPECT_TRUE(programHasEnded());
    EXPECT_EQ(programExitStatus(), 0);
    EXPECT_EQ(sounds, QStringList());
}

TEST_F(ApparatusQuiz, ControlsSitWhereTheLayoutPutsThemAndMarksCoverTheChoices) {
    ApparatusQuizScreen *s = open();
    EXPECT_EQ(s->size(), QSize(764, 538));
    expectPlacements({
        {"Command2", s->Command2, {635, 30, 104, 32}},
        {"Frame3", s->Frame3, {29, 4, 167, 61}},
        {"Image3, its picture's size", s->Image3, {41, 16, 120, 40}},
        {"Frame4", s->Frame4, {202, 4, 426, 62}},
        {"Image4(2)", s->Image4(2), {232, 16, 180, 40}},
        {"Image4(1)", s->Image4(1), {41, 16, 180, 40}},
        {"Frame2", s->Frame2, {28, 334, 711, 188}},
        {"Image8, stretched", s->Image8, {265, 7, 188, 181}},
        {"Image7, stretched", s->Image7, {264, 7, 188, 181}},
        {"Image2(3)", s->Image2(3), {451, 32, 179, 136}},
        {"Image2(2)", s->Image2(2), {287, 50, 89, 119}},
        {"Image2(1)", s->Image2(1), {105, 50, 93, 119}},
        {"Frame1", s->Frame1, {29, 74, 711, 253}},
        {"Image6, natural size", s->Image6, {258, 27, 211, 207}},
        {"Image5, natural size", s->Image5, {260, 29, 199, 195}},
        {"Image1(4)", s->Image1(4), {514, 14, 120, 234}},
        {"Image1(3)", s->Image1(3), {335, 99, 142, 148}},
        {"Image1(2)", s->Image1(2), {171, 62, 137, 186}},
        {"Image1(1)", s->Image1(1), {54, 57, 75, 187}},
    });

    struct FrameRow {
        Frame *frame;
        const char *caption;
        int pixels; // the point size at the layout's 96 pixels per inch
        bool bold;
        QColor back;
    };
    const QColor lightCyan(192, 255, 255), paleYellow(255, 255, 192);
    const std::vector<FrameRow> frames = {
        {s->Frame3, "気体", 16, false, paleYellow},
        {s->Frame4, "薬品", 16, false, paleYellow},
        {s->Frame2, "気体の捕集方法を選んで下さい", 21, true, lightCyan},
        {s->Frame1, "気体の発生装置を選んで下さい", 21, true, lightCyan},
    };
    for (const FrameRow &row : frames) {
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(row.frame->caption(), QString::fromUtf8(row.caption));
        EXPECT_EQ(row.frame->font().family(), QStringLiteral("ＭＳ Ｐ明朝"));
        EXPECT_EQ(row.frame->font().pixelSize(), row.pixels);
        EXPECT_EQ(row.frame->font().bold(), row.bold);
        const QImage look = row.frame->grab().toImage();
        EXPECT_EQ(look.pixelColor(6, look.height() / 2 + 6), row.back);
    }

    // A point on generator 3 under both generator marks, and one on collection method 2 under
    // both collector marks: the front-most shown control takes it.
    const QPoint onGenerator3(340, 110), onCollector2 = s->Image2(2)->geometry().center();
    EXPECT_EQ(s->Frame1->childAt(onGenerator3), s->Image1(3));
    EXPECT_EQ(s->Frame2->childAt(onCollector2), s->Image2(2));
    s->Image5->show();
    s->Image7->show();
    EXPECT_EQ(s->Frame1->childAt(onGenerator3), s->Image5);
    EXPECT_EQ(s->Frame2->childAt(onCollector2), s->Image7);
    s->Image6->show();
    s->Image8->show();
    EXPECT_EQ(s->Frame1->childAt(onGenerator3), s->Image6);
    EXPECT_EQ(s->Frame2->childAt(onCollector2), s->Image8);
}

TEST_F(ApparatusQuiz, BothRightWithinOnePeriodSwitchOnePeriodAfterTheSecondClick) {
    ApparatusQuizScreen *s = open();
    click(s->Image1(RightGenerator), 100.2);
    EXPECT_EQ(sounds, QStringList{sound("o.wav")});
    EXPECT_EQ(marks(s), std::vector<bool>({Shown, Hidden, Hidden, Hidden}));
    EXPECT_EQ(s->Image1(RightGenerator)->borderStyle(), 1);
    EXPECT_EQ(s->Timer1->interval(), 100);

    click(s->Image2(RightCollector), 100.7);
    EXPECT_EQ(sounds, QStringList({sound("o.wav"), sound("o.wav")}));
    EXPECT_EQ(marks(s), std::vector<bool>({Shown, Hidden, Shown, Hidden}));
    EXPECT_EQ(s->Image2(RightCollector)->borderStyle(), 1);
    EXPECT_EQ(s->ClickSecond(), 101);

    tick(s, 101.5); // the first click alone would have ended its period here
    tick(s, 102.0);
    EXPECT_EQ(currentScreen(), s);
    EXPECT_EQ(marks(s), std::vector<bool>({Shown, Hidden, Shown, Hidden}));
    tick(s, 102.1);
    EXPECT_NE(screen<SummaryScreen>(), nullptr);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(marks(s), std::vector<bool>(4, Hidden));
    EXPECT_EQ(CurrentQuestion, Question);
    EXPECT_TRUE(reports.empty());
}

// Tab, then Enter or the space bar on a choice is a click on it: judged with its sound and mark;
// a click by pointer leaves the focus where it was.
TEST_F(ApparatusQuiz, TheKeyboardAnswersBothQuestionsWithoutThePointer) {
    ApparatusQuizScreen *s = open();
    QApplication::setActiveWindow(s);
    ASSERT_EQ(QApplication::focusWidget(), s->Command2);
    click(s->Image1(1), 99.0);
    EXPECT_EQ(QApplication::focusWidget(), s->Command2) << "a click moved the focus";
    tick(s, 100.1);

    auto press = [&](int tabs, Qt::Key key, double at) {
        for (int i = 0; i < tabs; ++i)
            QTest::keyClick(s->windowHandle(), Qt::Key_Tab);
        clock->now = at;
        QTest::keyClick(s->windowHandle(), key);
    };
    press(RightGenerator, Qt::Key_Return, 100.2);
    EXPECT_EQ(QApplication::focusWidget(), s->Image1(RightGenerator));
    EXPECT_EQ(s->GeneratorSolved(), 1);
    EXPECT_EQ(marks(s), std::vector<bool>({Shown, Hidden, Hidden, Hidden}));
    press(GeneratorCount - RightGenerator + 1, Qt::Key_Space, 100.4); // collection method 1
    EXPECT_EQ(marks(s), std::vector<bool>({Shown, Hidden, Hidden, Shown}));
    tick(s, 101.5);
    press(RightCollector - 1, Qt::Key_Enter, 102.0);
    EXPECT_EQ(QApplication::focusWidget(), s->Image2(RightCollector));
    EXPECT_EQ(sounds,
              QStringList({sound("x.wav"), sound("o.wav"), sound("x.wav"), sound("o.wav")}));
    EXPECT_EQ(s->CollectorSolved(), 1);
    press(0, Qt::Key_A, 102.2); // other keys do nothing
    EXPECT_EQ(sounds.size(), 4);
    tick(s, 103.1);
    EXPECT_NE(screen<SummaryScreen>(), nullptr);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ApparatusQuiz, ASolvedGeneratorWaitsWithItsBorderForTheCollectorMuchLater) {
    ApparatusQuizScreen *s = open();
    click(s->Image1(RightGenerator), 100.2);
    tick(s, 101.1);
    EXPECT_EQ(currentScreen(), s);
    EXPECT_EQ(marks(s), std::vector<bool>(4, Hidden));
    EXPECT_EQ(s->Timer1->interval(), 0);

    // The pointer wanders over everything; the right generator keeps its border.
    moveTo(s->Image1(1));
    moveTo(s, background);
    moveTo(s->Frame1, QPoint(5, 240));
    moveTo(s->Image2(2));
    moveTo(s->Frame2, QPoint(5, 100));
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 0, 1, 0}));

    click(s->Image2(RightCollector), 160.3);
    EXPECT_EQ(marks(s), std::vector<bool>({Hidden, Hidden, Shown, Hidden}));
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 0, 1, 0}));
    tick(s, 161.0);
    EXPECT_EQ(currentScreen(), s);
    tick(s, 161.1);
    EXPECT_NE(screen<SummaryScreen>(), nullptr);
    EXPECT_EQ(sounds, QStringList({sound("o.wav"), sound("o.wav")}));
}

TEST_F(ApparatusQuiz, AClickOnASolvedGroupIsNotJudgedButPostponesTheSwitch) {
    ApparatusQuizScreen *s = open();
    click(s->Image1(RightGenerator), 100.2);
    click(s->Image2(RightCollector), 100.3);
    EXPECT_EQ(s->ClickSecond(), 100);
    click(s->Image1(1), 100.9);
    EXPECT_EQ(sounds.size(), 2);
    EXPECT_EQ(marks(s), std::vector<bool>({Shown, Hidden, Shown, Hidden}));
    EXPECT_EQ(s->GeneratorWrongPending(), 0);
    EXPECT_EQ(s->ClickSecond(), 101);
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 0, 1, 0}));
    tick(s, 101.1); // would have switched without the third click
    EXPECT_EQ(currentScreen(), s);
    tick(s, 102.1);
    EXPECT_NE(screen<SummaryScreen>(), nullptr);
    EXPECT_EQ(sounds.size(), 2);
}

TEST_F(ApparatusQuiz, AWrongCollectorWithTheGeneratorSolvedLeavesTheScreenInPlace) {
    ApparatusQuizScreen *s = open();
    click(s->Image1(RightGenerator), 100.2);
    click(s->Image2(1), 100.6);
    EXPECT_EQ(sounds, QStringList({sound("o.wav"), sound("x.wav")}));
    EXPECT_EQ(marks(s), std::vector<bool>({Shown, Hidden, Hidden, Shown}));
    EXPECT_EQ(std::tuple(s->CollectorWrongPending(), s->CollectorFrozen(), s->CollectorSolved()),
              std::tuple(1, 0, 0));

    click(s->Image2(RightCollector), 101.2); // while the cross shows: not judged
    EXPECT_EQ(sounds.size(), 2);
    EXPECT_EQ(s->CollectorFrozen(), 1);
    tick(s, 102.0);
    EXPECT_EQ(marks(s), std::vector<bool>({Shown, Hidden, Hidden, Shown}));
    tick(s, 102.1);
    EXPECT_EQ(currentScreen(), s);
    EXPECT_EQ(marks(s), std::vector<bool>(4, Hidden));
    EXPECT_EQ(std::tuple(s->GeneratorWrongPending(), s->CollectorWrongPending()), std::tuple(0, 0));
    EXPECT_EQ(s->Timer1->interval(), 0);
    EXPECT_EQ(s->Image1(RightGenerator)->borderStyle(), 1);

    click(s->Image2(RightCollector), 110.2);
    EXPECT_EQ(sounds.last(), sound("o.wav"));
    tick(s, 111.1);
    EXPECT_NE(screen<SummaryScreen>(), nullptr);
}

TEST_F(ApparatusQuiz, BordersFollowThePointerAndTheResetsClearThemUnlessFrozen) {
    ApparatusQuizScreen *s = open();
    moveTo(s->Image1(1));
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 0, 0, 0}))
        << "item 1 counts as highlighted";
    moveTo(s->Image1(2));
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 1, 0, 0}));
    moveTo(s->Image1(4));
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 0, 0, 1}));
    moveTo(s->Frame2, QPoint(5, 100)); // the other group's frame leaves this one alone
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 0, 0, 1}));
    moveTo(s->Frame1, QPoint(5, 240));
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(s->GeneratorHighlighted(), -1);
    moveTo(s->Image1(1));
    EXPECT_EQ(generatorBorders(s), std::vector<int>({1, 0, 0, 0}));
    moveTo(s->Image3); // labels do not react
    EXPECT_EQ(generatorBorders(s), std::vector<int>({1, 0, 0, 0}));

    // Generator solved: the background still counts both groups unhighlighted, but only the open
    // collector group loses its border.
    moveTo(s->Image1(RightGenerator));
    click(s->Image1(RightGenerator), 100.2);
    moveTo(s->Image2(2));
    EXPECT_EQ(collectorBorders(s), std::vector<int>({0, 1, 0}));
    moveTo(s, background);
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 0, 1, 0}));
    EXPECT_EQ(collectorBorders(s), std::vector<int>({0, 0, 0}));
    EXPECT_EQ(std::tuple(s->GeneratorHighlighted(), s->CollectorHighlighted()), std::tuple(-1, -1));
    moveTo(s->Image1(4)); // frozen: no highlight
    moveTo(s->Frame1, QPoint(5, 240));
    EXPECT_EQ(generatorBorders(s), std::vector<int>({0, 0, 1, 0}));
    EXPECT_EQ(s->GeneratorFrozen(), 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(ApparatusQuiz, AShowingMarkTakesThePointerSoTheChoiceUnderItNeitherHighlightsNorAnswers) {
    struct Row {
        const char *group;
        std::function<QWidget *(ApparatusQuizScreen *)> wrongChoice;
        std::function<QWidget *(ApparatusQuizScreen *)> coveredChoice;
        std::function<ImageBox *(ApparatusQuizScreen *)> mark;
        std::function<int(ApparatusQuizScreen *)> coveredBorder;
        std::function<Integer(ApparatusQuizScreen *)> frozen;
    };
    const std::vector<Row> table = {
        {"generator", [](ApparatusQuizScreen *s) { return s->Image1(1); },
         [](ApparatusQuizScreen *s) { return s->Image1(3); },
         [](ApparatusQuizScreen *s) { return s->Image6; },
         [](ApparatusQuizScreen *s) { return s->Image1(3)->borderStyle(); },
         [](ApparatusQuizScreen *s) { return s->GeneratorFrozen(); }},
        {"collector", [](ApparatusQuizScreen *s) { return s->Image2(1); },
         [](ApparatusQuizScreen *s) { return s->Image2(2); },
         [](ApparatusQuizScreen *s) { return s->Image8; },
         [](ApparatusQuizScreen *s) { return s->Image2(2)->borderStyle(); },
         [](ApparatusQuizScreen *s) { return s->CollectorFrozen(); }},
    };
    for (const Row &row : table) {
        SCOPED_TRACE(row.group);
        resetNavigation();
        sounds.clear();
        ApparatusQuizScreen *s = open();
        QWidget *covered = row.coveredChoice(s);
        // Inside the covered choice, near its top-left, where the mark's rectangle lies over it.
        const QPoint spot = covered->mapTo(s, QPoint(6, 12));
        click(row.wrongChoice(s), 100.2);
        ASSERT_TRUE(row.mark(s)->isVisible());
        ASSERT_TRUE(
            row.mark(s)->geometry().contains(row.mark(s)->parentWidget()->mapFrom(s, spot)));
        const Integer frozen = row.frozen(s);

        moveAt(s, spot);
        clickAt(s, spot, 100.9);
        EXPECT_EQ(row.coveredBorder(s), 0);
        EXPECT_EQ(s->ClickSecond(), 100) << "the period was not restarted";
        EXPECT_EQ(row.frozen(s), frozen);
        EXPECT_EQ(sounds.size(), 1);

        tick(s, 101.1); // the mark hides; the same spot now reaches the choice
        moveAt(s, background);
        moveAt(s, spot);
        EXPECT_EQ(row.coveredBorder(s), 1);
        clickAt(s, spot, 105.2);
        EXPECT_EQ(sounds.size(), 2);
        EXPECT_EQ(s->ClickSecond(), 105);
    }
}

} // namespace
} // namespace vaporica::test
