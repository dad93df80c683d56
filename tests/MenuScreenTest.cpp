#include "screens/MenuScreen.h"
#include "screens/GasQuizScreen.h"

#include "widgets/ArtPictures.h"
#include "widgets/Layout.h"

#include "TestSupport.h"

#include <QPointer>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

namespace vaporica::test {
namespace {

const QString OpenAction = QStringLiteral("コックを開く");
const QString CloseAction = QStringLiteral("コックを閉じる");

class Menu : public ProgramTest {
protected:
    MenuScreen *open() {
        startProgram();
        MenuScreen *s = screen<MenuScreen>();
        if (s != nullptr) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(s));
        }
        return s;
    }
    // A click where the pupil would click: at the centre of where the control lies, hitting
    // whatever is on top there (a hidden control's place shows what lies behind it).
    static void clickAt(Form *form, QWidget *control) {
        const QPoint at = control->mapTo(form, control->rect().center());
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, at);
    }
    static void key(Form *form, Qt::Key k) { QTest::keyClick(form->windowHandle(), k); }
    static void tabTo(Form *form, QWidget *target) {
        for (int i = 0; i < 8 && form->focusWidget() != target; ++i)
            key(form, Qt::Key_Tab);
        ASSERT_EQ(form->focusWidget(), target);
    }

    // The panel is open exactly when Frame1 shows and Command6 does not; the stopcock state
    // matches its picture and the caption that names the next action.
    static void expectState(MenuScreen *s, bool panelOpen, bool cockClosed) {
        EXPECT_EQ(s->Frame1->isVisible(), panelOpen);
        EXPECT_EQ(s->Command6->isVisible(), !panelOpen);
        EXPECT_EQ(s->CockClosed, cockClosed ? 1 : 0);
        // Each picture's own visibility; seen only while the panel is open.
        EXPECT_EQ(!s->Image8->isHidden(), cockClosed);
        EXPECT_EQ(!s->Image9->isHidden(), !cockClosed);
        EXPECT_EQ(s->Image8->isVisible(), panelOpen && cockClosed);
        EXPECT_EQ(s->Image9->isVisible(), panelOpen && !cockClosed);
        EXPECT_EQ(s->Command4->caption(), cockClosed ? OpenAction : CloseAction);
    }
};

// The window as its layout table states it: each row's control in its container, at its twips,
// with its caption, colours, font, picture, words and visibility.
TEST_F(Menu, EveryControlIsBuiltAsItsLayoutRowSays) {
    MenuScreen *s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->windowTitle(), QStringLiteral("メニュー"));
    EXPECT_EQ(s->size(), QSize(650, 419));
    EXPECT_FALSE(s->windowIcon().isNull());
    const auto colour = [](std::uint32_t value) {
        return value == ButtonFace ? platformButtonFace() : bgr(value);
    };
    for (const LayoutRow<MenuScreen> &row : MenuScreen::layout()) {
        SCOPED_TRACE(row.name);
        auto *w = s->findChild<QWidget *>(QString::fromUtf8(row.name));
        ASSERT_NE(w, nullptr);
        QWidget *container = row.inside == nullptr
                                 ? static_cast<QWidget *>(s)
                                 : s->findChild<QWidget *>(QString::fromUtf8(row.inside));
        EXPECT_EQ(w->parentWidget(), container);
        EXPECT_EQ(w->geometry(), row.place.pixels());
        EXPECT_EQ(w->isHidden(), row.hidden);
        EXPECT_EQ(w->accessibleName(), QString::fromUtf8(row.words));
        EXPECT_EQ(w->accessibleDescription(), QString::fromUtf8(row.description));
        QFont font;
        switch (row.control.kind) {
        case Kind::Button: {
            auto *button = qobject_cast<GraphicalButton *>(w);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->caption(), QString::fromUtf8(row.caption));
            EXPECT_EQ(button->faceColor(), colour(row.back));
            // A picture button's picture fills its face.
            if (row.art != nullptr)
                EXPECT_EQ(button->picture().size(), artPicture(QString::fromUtf8(row.art)).size());
            else
                EXPECT_TRUE(button->picture().isNull());
            font = button->font();
            break;
        }
        case Kind::Frame: {
            auto *frame = qobject_cast<Frame *>(w);
            ASSERT_NE(frame, nullptr);
            EXPECT_EQ(frame->caption(), QString::fromUtf8(row.caption));
            EXPECT_EQ(frame->backColor(), colour(row.back));
            EXPECT_EQ(frame->foreColor(), colour(row.fore));
            EXPECT_EQ(frame->focusPolicy(), Qt::NoFocus);
            font = frame->font();
            break;
        }
        case Kind::Image: {
            // No border, not stretched: each box has its picture's size.
            auto *image = qobject_cast<ImageBox *>(w);
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->picture().size(), w->size());
            EXPECT_EQ(image->borderStyle(), 0);
            break;
        }
        default:
            ADD_FAILURE() << "the menu has no such control";
        }
        if (row.font.face != Face::None) {
            EXPECT_EQ(font.family(), row.font.face == Face::PMincho ? QStringLiteral("ＭＳ Ｐ明朝")
                                                                    : QStringLiteral("ＭＳ 明朝"));
            EXPECT_EQ(font.pixelSize(), qRound(row.font.points * 4 / 3));
            EXPECT_EQ(font.bold(), row.font.bold);
        }
    }
}

// Earlier rows cover later ones where they overlap in one container: Command6 over the panel, the
// panel over the three buttons, the open-stopcock picture over the closed one.
TEST_F(Menu, EarlierRowsCoverLaterOnes) {
    MenuScreen *s = open();
    ASSERT_NE(s, nullptr);
    s->Frame1->show();
    s->Image9->show();
    const std::span<const LayoutRow<MenuScreen>> table = MenuScreen::layout();
    int overlaps = 0;
    for (std::size_t front = 0; front < table.size(); ++front)
        for (std::size_t back = front + 1; back < table.size(); ++back) {
            auto *f = s->findChild<QWidget *>(QString::fromUtf8(table[front].name));
            auto *b = s->findChild<QWidget *>(QString::fromUtf8(table[back].name));
            const QRect both = f->geometry() & b->geometry();
            if (f->parentWidget() != b->parentWidget() || both.isEmpty())
                continue;
            SCOPED_TRACE(std::string(table[front].name) + " over " + table[back].name);
            ++overlaps;
            QWidget *top = f->parentWidget()->childAt(both.center());
            EXPECT_TRUE(top == f || f->isAncestorOf(top));
        }
    EXPECT_EQ(overlaps, 5);
}

// The pictures the layout draws for the menu, by their colours.
TEST_F(Menu, PicturesShowTheirGroundColours) {
    MenuScreen *s = open();
    ASSERT_NE(s, nullptr);
    // Red ground with white lettering fills the big buttons' faces.
    for (GraphicalButton *b : {s->Command1, s->Command2, s->Command3})
        EXPECT_EQ(b->picture().pixelColor(1, 1), QColor(255, 0, 0));
    EXPECT_EQ(s->Image8->picture().pixelColor(2, 230), QColor(0, 221, 255));
    EXPECT_EQ(s->Image7->picture().pixelColor(136, 296), QColor(0, 0, 128));
}

TEST_F(Menu, LoadingReadsTheBankEmptiesTheRecentWindowAndShowsTheLayoutState) {
    QuestionCount = 7;
    UsedFlag(0) = 5;
    RecentQueue(0) = 6;
    for (int i = 1; i <= 20; ++i) {
        UsedFlag(i) = 1;
        RecentQueue(i) = Integer(i);
    }
    MenuScreen *s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(QuestionCount, 20);
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(UsedFlag(i), 0) << i;
        EXPECT_EQ(RecentQueue(i), 0) << i;
    }
    EXPECT_EQ(UsedFlag(0), 5);
    EXPECT_EQ(RecentQueue(0), 6);
    EXPECT_EQ(AnswerGas(20), 6); // (20 - 1) mod 14 + 1 in the fixture bank
    EXPECT_EQ(Reagent(20, 2), 24);
    EXPECT_EQ(GasApparatus(14), 5);
    expectState(s, false, true);
    EXPECT_EQ(s->focusWidget(), s->Command1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Menu, PanelAndStopcockFollowEveryClickSequence) {
    struct Row {
        // Buttons clicked at their places: 4, 5 or 6. (With the panel closed, Command4's place
        // lies on Command3, which ends the program; no row clicks there.)
        const char *clicks;
        bool panelOpen, cockClosed;
    };
    const std::vector<Row> rows =
        {
            {"", false, true},
            {"6", true, true},
            {"64", true, false},
            {"644", true, true},
            {"6444", true, false},
            {"645", false, false}, // closing the panel keeps the stopcock
            {"6456", true, false}, // and reopening shows it as left
            {"64564", true, true},
            {"6445", false, true},
            {"66", true, true}, // the second click lands on the panel: Command6 is hidden
            {"646", true, false},
            {"5", false, true}, // Command5 is hidden with the panel: nothing there to press
            {"6556", true, true},
            {"65656", true, true},
            {"6464646", true, false}, // three stopcock clicks
        };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.clicks);
        resetNavigation();
        MenuScreen *s = open();
        ASSERT_NE(s, nullptr);
        for (const char *c = row.clicks; *c != '\0'; ++c) {
            GraphicalButton *target = *c == '4'   ? s->Command4
                                      : *c == '5' ? s->Command5
                                                  : s->Command6;
            clickAt(s, target);
            // The invariant holds after every click, whatever state the click led to.
            EXPECT_EQ(s->Frame1->isVisible(), s->Command6->isHidden());
            EXPECT_EQ(s->CockClosed == 1, !s->Image8->isHidden());
            EXPECT_EQ(s->CockClosed == 1, s->Image9->isHidden());
            EXPECT_EQ(s->Command4->caption(), s->CockClosed == 1 ? OpenAction : CloseAction);
        }
        expectState(s, row.panelOpen, row.cockClosed);
        EXPECT_EQ(currentScreen(), s);
        EXPECT_TRUE(reports.empty());
    }
}

TEST_F(Menu, LeavingForTheQuizAndComingBackClosesPanelAndStopcock) {
    MenuScreen *s = open();
    ASSERT_NE(s, nullptr);
    for (GraphicalButton *b : {s->Command6, s->Command4, s->Command5})
        clickAt(s, b);
    expectState(s, false, false);
    QPointer<MenuScreen> before = s;
    clickAt(s, s->Command1);
    auto *quiz = screen<GasQuizScreen>();
    ASSERT_NE(quiz, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(quiz));
    UsedFlag(CurrentQuestion) = 1;
    clickAt(quiz, quiz->Command3); // back to the menu
    MenuScreen *again = screen<MenuScreen>();
    ASSERT_NE(again, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(before.isNull()); // a new menu, loaded afresh
    expectState(again, false, true);
    for (int q = 1; q <= 20; ++q)
        EXPECT_EQ(UsedFlag(q), 0);
    EXPECT_EQ(again->focusWidget(), again->Command1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Menu, EnterAndSpacePressTheFocusedButton) {
    struct Row {
        const char *how;
        Qt::Key key;
    };
    for (const Row &row : {Row{"Enter", Qt::Key_Return}, Row{"keypad Enter", Qt::Key_Enter},
                           Row{"space", Qt::Key_Space}}) {
        SCOPED_TRACE(row.how);
        resetNavigation();
        MenuScreen *s = open();
        ASSERT_NE(s, nullptr);
        ASSERT_EQ(s->focusWidget(), s->Command1);
        key(s, row.key);
        EXPECT_NE(screen<GasQuizScreen>(), nullptr);

        resetNavigation();
        s = open();
        ASSERT_NE(s, nullptr);
        tabTo(s, s->Command6);
        key(s, row.key);
        expectState(s, true, true);
        tabTo(s, s->Command4);
        key(s, row.key);
        expectState(s, true, false);
        tabTo(s, s->Command5);
        key(s, row.key);
        expectState(s, false, false);
        EXPECT_TRUE(reports.empty());
    }
}

// What the panel shows a sighted pupil is said to a screen reader: its explanation and the
// stopcock's state when it opens, and what happens in the apparatus at each turn of the stopcock.
TEST_F(Menu, ThePanelIsReadOutWhenItOpensAndEachTurnOfTheStopcockIsSaid) {
    MenuScreen *s = open();
    ASSERT_NE(s, nullptr);
    const QString explanation = s->Image7->accessibleDescription();
    ASSERT_FALSE(explanation.isEmpty());
    clickAt(s, s->Command6);
    EXPECT_EQ(s->announced(), QStringLiteral("キップの装置。") + explanation +
                                  QStringLiteral("コックは閉じています。"));
    clickAt(s, s->Command4);
    EXPECT_TRUE(s->announced().startsWith(QStringLiteral("コックを開きました。")))
        << s->announced().toStdString();
    clickAt(s, s->Command4);
    EXPECT_TRUE(s->announced().startsWith(QStringLiteral("コックを閉じました。")))
        << s->announced().toStdString();
    clickAt(s, s->Command4);
    clickAt(s, s->Command5);
    clickAt(s, s->Command6);
    EXPECT_TRUE(s->announced().endsWith(QStringLiteral("コックは開いています。")));
    EXPECT_TRUE(reports.empty());
}

// While the panel is open it has the keyboard: its first button takes the focus, Tab stays on
// its two buttons, and no key reaches the three buttons it covers. Closing it gives the keyboard
// back to the menu.
TEST_F(Menu, TheOpenPanelTakesTheKeyboardAndNoKeyReachesACoveredButton) {
    MenuScreen *s = open();
    ASSERT_NE(s, nullptr);
    auto visit = [&](int presses) {
        std::vector<QWidget *> seen;
        for (int i = 0; i < presses; ++i) {
            key(s, Qt::Key_Tab);
            seen.push_back(s->focusWidget());
        }
        return seen;
    };
    EXPECT_EQ(s->focusWidget(), s->Command1);
    EXPECT_EQ(visit(4),
              (std::vector<QWidget *>{s->Command2, s->Command3, s->Command6, s->Command1}));

    struct Row {
        const char *how;
        std::function<void()> open;
    };
    for (const Row &row :
         {Row{"by pointer", [&] { clickAt(s, s->Command6); }}, Row{"by keyboard", [&] {
                                                                       tabTo(s, s->Command6);
                                                                       key(s, Qt::Key_Return);
                                                                   }}}) {
        SCOPED_TRACE(row.how);
        row.open();
        ASSERT_TRUE(s->Frame1->isVisible());
        EXPECT_EQ(s->focusWidget(), s->Command4);
        EXPECT_EQ(visit(4),
                  (std::vector<QWidget *>{s->Command5, s->Command4, s->Command5, s->Command4}));
        // Every key the pupil might press lands on the panel: the stopcock turns twice and the
        // quiz, the properties and the end never come.
        for (const Qt::Key k : {Qt::Key_Return, Qt::Key_Backtab, Qt::Key_Backtab, Qt::Key_Space})
            key(s, k);
        EXPECT_EQ(screen<MenuScreen>(), s);
        EXPECT_FALSE(programHasEnded());
        expectState(s, true, true);
        EXPECT_EQ(s->focusWidget(), s->Command4);

        tabTo(s, s->Command5);
        key(s, Qt::Key_Space);
        expectState(s, false, true);
        EXPECT_EQ(s->focusWidget(), s->Command6);
        EXPECT_EQ(visit(4),
                  (std::vector<QWidget *>{s->Command1, s->Command2, s->Command3, s->Command6}));
    }
    EXPECT_TRUE(reports.empty());
}

} // namespace
} // namespace vaporica::test
