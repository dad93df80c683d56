#include "assets/DataPaths.h"
#include "assets/PictureText.h"
#include "base/Names.h"
#include "screens/ApparatusQuizScreen.h"
#include "screens/GasQuizScreen.h"
#include "screens/SummaryScreen.h"

#include "TestSupport.h"

#include <QAccessible>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vaporica::test {
namespace {

// In the standard bank question 3 asks for gas 3 from reagents 3 and 7; generator 3 and
// collection method 3 are right.
constexpr int Question = 3;

QAccessibleInterface *accessible(QObject *o) {
    return QAccessible::queryAccessibleInterface(o);
}

// The children of an accessible object as a screen reader walks them: role and name.
std::vector<std::pair<QAccessible::Role, QString>> readOut(QAccessibleInterface *iface) {
    std::vector<std::pair<QAccessible::Role, QString>> read;
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        read.emplace_back(child->role(), child->text(QAccessible::Name));
        EXPECT_EQ(iface->indexOfChild(child), i) << child->text(QAccessible::Name).toStdString();
        EXPECT_EQ(child->parent(), iface);
    }
    return read;
}

class Accessibility : public ProgramTest {
protected:
    // The screen's notification, last in its reading order: what it says now, if it shows.
    static QString announced(QWidget *screen) {
        QAccessibleInterface *window = accessible(screen);
        QAccessibleInterface *notification = window->child(window->childCount() - 1);
        EXPECT_EQ(notification->role(), QAccessible::Notification);
        return notification->state().invisible ? QString() : notification->text(QAccessible::Name);
    }
    // What the screen says when it has appeared; empty if it says nothing within two seconds.
    static QString arrival(Form *screen) {
        if (!QTest::qWaitFor([&] { return !screen->announced().isEmpty(); }, 2000))
            return {};
        return screen->announced();
    }
    static QString questionReagents() {
        return reagentName(Question) + QStringLiteral("と") + reagentName(Question + 4);
    }
    GasQuizScreen *openGasQuiz() {
        startProgram();
        random->values = {(Question - 0.5f) / 20.0f};
        random->at = 0;
        guarded([] { ScreenSwitch(ScreenId::GasQuiz); });
        return screen<GasQuizScreen>();
    }
    ApparatusQuizScreen *openApparatusQuiz() {
        startProgram();
        CurrentQuestion = Question;
        guarded([] { ScreenSwitch(ScreenId::ApparatusQuiz); });
        return screen<ApparatusQuizScreen>();
    }
    static void press(QObject *o) {
        QAccessibleActionInterface *action = accessible(o)->actionInterface();
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
        action->doAction(QAccessibleActionInterface::pressAction());
    }
};

TEST_F(Accessibility, TheGasQuizReadsItsPromptThenReagentsAndGasesInNumberOrder) {
    GasQuizScreen *s = openGasQuiz();
    ASSERT_NE(s, nullptr);
    // The question the highlighted plates show is said when the screen appears, and stays with
    // the gas column.
    const QString question =
        QStringLiteral("問題: %1。発生する気体は何ですか。").arg(questionReagents());
    EXPECT_EQ(arrival(s), question);
    EXPECT_EQ(accessible(s->Frame1)->text(QAccessible::Description), question);
    QAccessibleInterface *window = accessible(s);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("ヴァポリカ"));
    const auto read = readOut(window);
    ASSERT_GE(read.size(), std::size_t(1 + ReagentCount + 1));
    EXPECT_EQ(read[0], std::pair(QAccessible::StaticText, QuestionPrompt));
    for (int n = 1; n <= ReagentCount; ++n) {
        EXPECT_EQ(read[std::size_t(n)], std::pair(QAccessible::Graphic, reagentName(n))) << n;
        const bool asked = n == Question || n == Question + 4;
        EXPECT_EQ(accessible(s->Image1(n))->text(QAccessible::Description),
                  asked ? QuestionReagent : QString())
            << n;
    }
    EXPECT_EQ(read[1 + ReagentCount], std::pair(QAccessible::Grouping, QStringLiteral("気体")));
    const auto gases = readOut(accessible(s->Frame1));
    ASSERT_EQ(gases.size(), std::size_t(GasCount));
    for (int n = 1; n <= GasCount; ++n)
        EXPECT_EQ(gases[std::size_t(n - 1)], std::pair(QAccessible::Button, gasName(n))) << n;
    const std::vector<std::pair<QAccessible::Role, QString>> rest(read.begin() + 2 + ReagentCount,
                                                                  read.end());
    EXPECT_EQ(rest, (std::vector<std::pair<QAccessible::Role, QString>>{
                        {QAccessible::Graphic, QStringLiteral("正解")},
                        {QAccessible::Graphic, QStringLiteral("不正解")},
                        {QAccessible::Button, QStringLiteral("終了")},
                        {QAccessible::Button, QStringLiteral("戻る")},
                        {QAccessible::Button, QStringLiteral("性質")},
                        {QAccessible::Notification, question}}));
    // The prompt stands where the background draws it.
    QAccessibleInterface *prompt = window->child(0);
    EXPECT_EQ(prompt->rect(), QRect(s->mapToGlobal(QPoint(36, 102)), QSize(404, 56)));
    EXPECT_FALSE(prompt->state().invisible);

    // A wrong gas pressed through its action is announced, then the right one.
    clock->now = 100.2;
    press(s->Command1(5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return s->GasWrongPending() == 1; }, 2000));
    EXPECT_EQ(announced(s), QStringLiteral("不正解"));
    clock->now = 101.1;
    runHandler(s->Timer1->onTick);
    clock->now = 102.2;
    press(s->Command1(Question));
    ASSERT_TRUE(QTest::qWaitFor([&] { return s->GasSolved() == 1; }, 2000));
    EXPECT_EQ(announced(s), QStringLiteral("正解"));
    // Pressed again before the next screen comes, it is not judged again, but said to be solved.
    press(s->Command1(Question));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return announced(s) == QStringLiteral("もう正解です"); }, 2000))
        << announced(s).toStdString();
    EXPECT_TRUE(reports.empty());
}

TEST_F(Accessibility, TheApparatusQuizReadsTopDownAndItsChoicesArePressedAndAnnounced) {
    ApparatusQuizScreen *s = openApparatusQuiz();
    ASSERT_NE(s, nullptr);
    // The gas and reagents at the top and what is asked are said when the screen appears.
    const QString asked =
        QStringLiteral("気体: %1。薬品: %2。気体の発生装置と捕集方法を選んでください。")
            .arg(gasName(Question), questionReagents());
    EXPECT_EQ(arrival(s), asked);
    QAccessibleInterface *window = accessible(s);
    using Read = std::vector<std::pair<QAccessible::Role, QString>>;
    EXPECT_EQ(readOut(window),
              (Read{{QAccessible::Grouping, QStringLiteral("気体")},
                    {QAccessible::Grouping, QStringLiteral("薬品")},
                    {QAccessible::Grouping, QStringLiteral("気体の発生装置を選んで下さい")},
                    {QAccessible::Grouping, QStringLiteral("気体の捕集方法を選んで下さい")},
                    {QAccessible::Button, QStringLiteral("終了")},
                    {QAccessible::Notification, asked}}));
    EXPECT_EQ(readOut(accessible(s->Frame3)), (Read{{QAccessible::Graphic, gasName(Question)}}));
    EXPECT_EQ(readOut(accessible(s->Frame4)),
              (Read{{QAccessible::Graphic, reagentName(Question)},
                    {QAccessible::Graphic, reagentName(Question + 4)}}));
    const Read generators = readOut(accessible(s->Frame1));
    ASSERT_EQ(generators.size(), std::size_t(2 + GeneratorCount));
    for (int n = 1; n <= GeneratorCount; ++n)
        EXPECT_EQ(generators[std::size_t(1 + n)],
                  std::pair(QAccessible::Button, s->Image1(n)->accessibleName()));
    EXPECT_EQ(readOut(accessible(s->Frame2)).back(),
              std::pair(QAccessible::Button, QStringLiteral("水上置換")));
    // The marks are pictures, not buttons, and have no action.
    EXPECT_EQ(accessible(s->Image5)->role(), QAccessible::Graphic);
    EXPECT_TRUE(accessible(s->Image5)->actionInterface()->actionNames().isEmpty());

    // Each judgement names its part; a right one says what is still to answer, and a part
    // already solved says so when pressed again.
    clock->now = 100.2;
    press(s->Image1(3));
    EXPECT_EQ(announced(s), QStringLiteral("発生装置は正解。残りは捕集方法です"));
    press(s->Image1(3));
    EXPECT_EQ(announced(s), QStringLiteral("発生装置はもう正解です"));
    clock->now = 100.4;
    press(s->Image2(1));
    EXPECT_EQ(announced(s), QStringLiteral("捕集方法は不正解"));
    clock->now = 101.5;
    runHandler(s->Timer1->onTick);
    clock->now = 102.0;
    press(s->Image2(3));
    EXPECT_EQ(announced(s), QStringLiteral("捕集方法は正解"));
    clock->now = 103.1;
    runHandler(s->Timer1->onTick);
    EXPECT_NE(screen<SummaryScreen>(), nullptr);
    EXPECT_TRUE(reports.empty());
}

// The summary's pictures read their words from the text file beside each, when there is one; a
// picture without one, or with one that is not UTF-8 text, reads as its role alone.
TEST_F(Accessibility, SummaryPicturesReadTheWordsBesideThemOrTheirRole) {
    startProgram();
    CurrentQuestion = Question;
    const auto writeBeside = [](const QString &picture, const QByteArray &bytes) {
        QFile file(pictureTextPath(picture));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    writeBeside(PicturePath(fragment::Equation, Question),
                "\xEF\xBB\xBF"
                "2KClO3 \xE2\x86\x92 2KCl + 3O2\n  (MnO2)\n");
    writeBeside(PicturePath(fragment::Apparatus, ApparatusPicture(Question)), "\xFF\xFE"
                                                                              "bad");
    guarded([] { ScreenSwitch(ScreenId::Summary); });
    SummaryScreen *s = screen<SummaryScreen>();
    ASSERT_NE(s, nullptr);
    QAccessibleInterface *equation = accessible(s->Image3);
    EXPECT_EQ(equation->text(QAccessible::Name), QStringLiteral("化学反応式"));
    EXPECT_EQ(equation->text(QAccessible::Description),
              QStringLiteral("2KClO3 → 2KCl + 3O2 (MnO2)"));
    // A set-up without words of its own reads as the question's generator and collection.
    const QString setUp = QStringLiteral("試験管に入れた固体を加熱する、水上置換");
    QAccessibleInterface *apparatus = accessible(s->Image4);
    EXPECT_EQ(apparatus->text(QAccessible::Name), QStringLiteral("実験装置"));
    EXPECT_EQ(apparatus->text(QAccessible::Description), setUp);
    // All of it is said when the summary appears.
    EXPECT_EQ(arrival(s), QStringLiteral("まとめ。気体: %1。薬品: %2。化学反応式: 2KClO3 → 2KCl + "
                                         "3O2 (MnO2)。実験装置: %3。")
                              .arg(gasName(Question), questionReagents(), setUp));
    EXPECT_TRUE(reports.empty());

    // The next question has no words beside its equation.
    QFile::remove(pictureTextPath(PicturePath(fragment::Equation, Question)));
    CurrentQuestion = Question + 1;
    guarded([] { ScreenSwitch(ScreenId::Summary); });
    s = screen<SummaryScreen>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(accessible(s->Image3)->text(QAccessible::Description), QString());
    EXPECT_EQ(accessible(s->Image3)->text(QAccessible::Name), QStringLiteral("化学反応式"));
    EXPECT_FALSE(arrival(s).contains(QStringLiteral("化学反応式"))) << "no words to say";

    // A named pipe beside a picture is passed over at once, like a file that is not UTF-8.
    const QString pipe = pictureTextPath(PicturePath(fragment::Equation, Question + 2));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    CurrentQuestion = Question + 2;
    guarded([] { ScreenSwitch(ScreenId::Summary); });
    s = screen<SummaryScreen>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(accessible(s->Image3)->text(QAccessible::Description), QString());
    EXPECT_TRUE(reports.empty());
}

} // namespace
} // namespace vaporica::test
