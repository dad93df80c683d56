// The built program in a private X server, driven as a pupil drives it, with the mouse and with
// the keyboard alone: start, the end by button, close box and Enter on every screen, the
// properties browser, the round trip through the menu and whole questions. Every wait is bounded.

#include "DataCopy.h"
#include "ProgramRun.h"

#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Last: Xlib's macros would clash with the names in the headers above.
#include "CloseBox.h"

#include <optional>

namespace {

using namespace vaporica::e2e;

// The controls clicked here beside those in ProgramRun.h, at their middles.
const QPoint MenuProperties = controlMiddle(ScreenId::Menu, "Command2");
const QPoint QuizBack = controlMiddle(ScreenId::GasQuiz, "Command3");
const QPoint PropertiesFirstGas = controlMiddle(ScreenId::Properties, "Command1", 1);
const QPoint PropertiesQuit = controlMiddle(ScreenId::Properties, "Command2");
const QPoint PropertiesBack = controlMiddle(ScreenId::Properties, "Command3");
// The left part of the properties window, its two frames: empty until a gas is chosen, then its
// two pictures.
const QRect PropertiesPictures =
    controlPlace(ScreenId::Properties, "Frame2") | controlPlace(ScreenId::Properties, "Frame3");

int pixelsChanged(const QImage &before, const QImage &after, const QRect &area) {
    if (before.size() != after.size())
        return -1;
    int changed = 0;
    const QRect inside = area & before.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    return changed;
}

class RealWindow : public OneQuestionDesktop {
protected:
    RealWindow() : OneQuestionDesktop("real-window") {}

    // Starts the program; its first screen is the menu.
    QString start() {
        run_.emplace(copy().executable(), workPath(), server().environment());
        return run_->started() ? run_->window(MenuCaption, 2 * StartTimeoutMs) : QString();
    }
    ProgramRun &run() { return *run_; }

    // A click, then the window that it opens; empty (with a failure naming the step) if none.
    QString step(const char *what, const QString &window, QPoint at, const QString &caption) {
        run().click(window, at);
        return expectWindow(what, caption);
    }
    // Keys pressed one after the other, then the window they open.
    QString keyStep(const char *what, const QStringList &keys, const QString &caption) {
        press(keys);
        return expectWindow(what, caption);
    }
    QString expectWindow(const char *what, const QString &caption) {
        const QString next = run().window(caption);
        EXPECT_FALSE(next.isEmpty()) << what << ": no window \"" << caption.toStdString() << "\"\n"
                                     << run().errShown();
        return next;
    }
    // Keys go to the window that holds the keyboard: a shown screen takes it, as there is no
    // window manager to give it.
    void press(const QStringList &keys) {
        for (const QString &key : keys) {
            run().key(key);
            run().pause(50);
        }
    }
    void pressTimes(int times, const QString &key) {
        for (int i = 0; i < times; ++i)
            press({key});
    }

    // A wrong gas shows its mark for about a second and leaves the quiz in place.
    void expectWrongGasKeepsTheQuiz(const char *how) {
        run().pause(2000);
        EXPECT_TRUE(run().window(ApparatusCaption, 200).isEmpty())
            << how << ": a wrong gas opened the apparatus quiz";
        EXPECT_FALSE(run().window(GasQuizCaption, 200).isEmpty())
            << how << ": a wrong gas left the quiz";
    }
    // The gas's two pictures appear in the left part of the properties window.
    void expectPropertiesShown(const char *how, const QString &window, const QImage &before) {
        run().pause(500);
        const int changed = pixelsChanged(before, run().pixels(window), PropertiesPictures);
        EXPECT_GE(changed, 20000) << how << ": the properties pictures did not appear";
    }

    // The program ends within the bound with status 0 and no runtime error on its way out.
    void expectCleanEnd(const std::string &what) {
        ASSERT_TRUE(run().finish()) << what << ": the program still runs\n" << run().errShown();
        EXPECT_EQ(run().process().exitStatus(), QProcess::NormalExit) << what;
        EXPECT_EQ(run().process().exitCode(), 0) << what << "\n" << run().errShown();
        for (const char *sign : {"実行時エラー", "Sanitizer", "runtime error:"})
            EXPECT_FALSE(run().err().contains(sign)) << what << "\n" << run().errShown();
    }

private:
    std::optional<ProgramRun> run_;
};

// --- Every way out of every screen ---------------------------------------------------------------

enum class Screen { Menu, GasQuiz, Properties, ApparatusQuiz, Summary };
enum class Way { QuitButton, CloseBox, Enter };

struct Quit {
    const char *name;
    Screen screen;
    Way way;
};

void PrintTo(const Quit &quit, std::ostream *os) {
    *os << quit.name;
}

class EveryQuit : public RealWindow, public testing::WithParamInterface<Quit> {
protected:
    // Brings the program to the screen by mouse and returns its window.
    QString openScreen(Screen screen) {
        const QString menu = start();
        if (menu.isEmpty() || screen == Screen::Menu)
            return menu;
        if (screen == Screen::Properties)
            return step("menu to properties", menu, MenuProperties, PropertiesCaption);
        const QString quiz = step("menu to quiz", menu, MenuQuiz, GasQuizCaption);
        if (quiz.isEmpty() || screen == Screen::GasQuiz)
            return quiz;
        const QString apparatus =
            step("right gas, then the apparatus quiz", quiz, QuizRightGas, ApparatusCaption);
        if (apparatus.isEmpty() || screen == Screen::ApparatusQuiz)
            return apparatus;
        run().click(apparatus, RightGenerator);
        return step("right generator and collection, then the summary", apparatus, RightCollector,
                    SummaryCaption);
    }
    static QPoint quitButton(Screen screen) {
        switch (screen) {
        case Screen::Menu:
            return MenuQuit;
        case Screen::GasQuiz:
            return QuizQuit;
        case Screen::Properties:
            return PropertiesQuit;
        case Screen::ApparatusQuiz:
            return ApparatusQuit;
        case Screen::Summary:
            return SummaryQuit;
        }
        return {};
    }
};

TEST_P(EveryQuit, EndsTheProgramCleanly) {
    const Quit &quit = GetParam();
    const QString window = openScreen(quit.screen);
    ASSERT_FALSE(window.isEmpty()) << run().errShown();
    switch (quit.way) {
    case Way::QuitButton:
        run().click(window, quitButton(quit.screen));
        break;
    case Way::CloseBox:
        ASSERT_TRUE(pressCloseBox(display(), window));
        break;
    case Way::Enter: // on the screens whose quit button holds the keyboard when they open
        press({QStringLiteral("Return")});
        break;
    }
    expectCleanEnd(quit.name);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, EveryQuit,
    testing::Values(Quit{"MenuQuitButton", Screen::Menu, Way::QuitButton},
                    Quit{"MenuCloseBox", Screen::Menu, Way::CloseBox},
                    Quit{"GasQuizQuitButton", Screen::GasQuiz, Way::QuitButton},
                    Quit{"GasQuizCloseBox", Screen::GasQuiz, Way::CloseBox},
                    Quit{"PropertiesQuitButton", Screen::Properties, Way::QuitButton},
                    Quit{"PropertiesCloseBox", Screen::Properties, Way::CloseBox},
                    Quit{"ApparatusQuizQuitButton", Screen::ApparatusQuiz, Way::QuitButton},
                    Quit{"ApparatusQuizCloseBox", Screen::ApparatusQuiz, Way::CloseBox},
                    Quit{"ApparatusQuizEnter", Screen::ApparatusQuiz, Way::Enter},
                    Quit{"SummaryQuitButton", Screen::Summary, Way::QuitButton},
                    Quit{"SummaryCloseBox", Screen::Summary, Way::CloseBox},
                    Quit{"SummaryEnter", Screen::Summary, Way::Enter}),
    [](const testing::TestParamInfo<Quit> &info) { return std::string(info.param.name); });

// --- Journeys -------------------------------------------------------------------------------

TEST_F(RealWindow, StartsWithTheMenuAtItsSize) {
    const QString menu = start();
    ASSERT_FALSE(menu.isEmpty()) << run().errShown();
    const QByteArray geometry = run().xdotool({QStringLiteral("getwindowgeometry"), menu});
    EXPECT_TRUE(geometry.contains("Geometry: 650x419")) << geometry.toStdString();
    run().click(menu, MenuQuit);
    expectCleanEnd("the menu's quit button");
}

// The properties browser by mouse, then menu → properties → back → quiz → back → quit.
TEST_F(RealWindow, PropertiesAndTheRoundTripThroughTheMenuByMouse) {
    QString menu = start();
    ASSERT_FALSE(menu.isEmpty()) << run().errShown();
    const QString properties = step("menu to properties", menu, MenuProperties, PropertiesCaption);
    ASSERT_FALSE(properties.isEmpty());
    run().pause(200);
    const QImage empty = run().pixels(properties);
    run().click(properties, PropertiesFirstGas);
    expectPropertiesShown("a gas clicked", properties, empty);
    menu = step("properties back to the menu", properties, PropertiesBack, MenuCaption);
    ASSERT_FALSE(menu.isEmpty());
    const QString quiz = step("menu to quiz", menu, MenuQuiz, GasQuizCaption);
    ASSERT_FALSE(quiz.isEmpty());
    menu = step("quiz back to the menu", quiz, QuizBack, MenuCaption);
    ASSERT_FALSE(menu.isEmpty());
    run().click(menu, MenuQuit);
    expectCleanEnd("quit after the round trip");
}

// A whole question by mouse, a wrong gas first, then the next question from the summary.
TEST_F(RealWindow, AWholeQuestionByMouse) {
    const QString menu = start();
    ASSERT_FALSE(menu.isEmpty()) << run().errShown();
    QString quiz = step("menu to quiz", menu, MenuQuiz, GasQuizCaption);
    ASSERT_FALSE(quiz.isEmpty());
    run().click(quiz, QuizWrongGas);
    expectWrongGasKeepsTheQuiz("mouse");
    const QString apparatus =
        step("right gas, then the apparatus quiz", quiz, QuizRightGas, ApparatusCaption);
    ASSERT_FALSE(apparatus.isEmpty());
    run().click(apparatus, RightGenerator);
    const QString summary = step("right generator and collection, then the summary", apparatus,
                                 RightCollector, SummaryCaption);
    ASSERT_FALSE(summary.isEmpty());
    quiz = step("next question from the summary", summary, SummaryNext, GasQuizCaption);
    ASSERT_FALSE(quiz.isEmpty());
    run().click(quiz, QuizQuit);
    expectCleanEnd("the quiz's quit button after a whole question");
}

// The keyboard alone, with no click at all. Tab orders: the menu quiz, properties, quit, Kipp;
// the gas quiz gases 1..14, quit, back, properties; the apparatus quiz quit, generators 1..4,
// collection methods 1..3; the summary quit, next question, properties, menu; the properties
// browser back, quit, gases 14..1, quiz.
TEST_F(RealWindow, AWholeQuestionAndThePropertiesByKeyboardAlone) {
    ASSERT_FALSE(start().isEmpty()) << run().errShown();
    ASSERT_FALSE(
        keyStep("Enter on the menu starts the quiz", {QStringLiteral("Return")}, GasQuizCaption)
            .isEmpty());
    press({QStringLiteral("Tab"), QStringLiteral("space")});
    expectWrongGasKeepsTheQuiz("keyboard");
    pressTimes(16, QStringLiteral("Tab"));
    ASSERT_FALSE(keyStep("a full Tab cycle back to the first gas, Enter: the apparatus quiz",
                         {QStringLiteral("Return")}, ApparatusCaption)
                     .isEmpty());
    pressTimes(3, QStringLiteral("Tab"));
    press({QStringLiteral("Return"), QStringLiteral("Tab"), QStringLiteral("Tab"),
           QStringLiteral("space")});
    run().pause(1500);
    ASSERT_FALSE(keyStep("right generator by Enter, a wrong and the right collection by space",
                         {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space")},
                         SummaryCaption)
                     .isEmpty());
    ASSERT_FALSE(keyStep("Tab, space on the summary: the next question",
                         {QStringLiteral("Tab"), QStringLiteral("space")}, GasQuizCaption)
                     .isEmpty());
    pressTimes(15, QStringLiteral("Tab"));
    ASSERT_FALSE(
        keyStep("Tab to back, Enter: the menu", {QStringLiteral("Return")}, MenuCaption).isEmpty());
    const QString properties =
        keyStep("Tab to the properties, Enter", {QStringLiteral("Tab"), QStringLiteral("Return")},
                PropertiesCaption);
    ASSERT_FALSE(properties.isEmpty());
    const QImage empty = run().pixels(properties);
    pressTimes(15, QStringLiteral("Tab"));
    press({QStringLiteral("space")});
    expectPropertiesShown("Tab to the first gas, space", properties, empty);
    ASSERT_FALSE(keyStep("Tab to back, Enter: the menu",
                         {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Return")},
                         MenuCaption)
                     .isEmpty());
    press({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space")});
    expectCleanEnd("keyboard: quit from the menu");
}

} // namespace
