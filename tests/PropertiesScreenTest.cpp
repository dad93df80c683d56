#include "screens/PropertiesScreen.h"
#include "screens/MenuScreen.h"

#include "TestSupport.h"
#include "bank/BankLoader.h"
#include "base/Names.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace vaporica::test {
namespace {

const QString NoteOxygen = QStringLiteral("塩素酸カリウムと二酸化マンガンの場合");
const QString NoteChlorine = QStringLiteral("二酸化マンガンと濃塩酸の場合");
const QString NoteSulfurDioxide = QStringLiteral("銅と熱濃硫酸の場合");

// The note the material writes for gas n, as the shipped gases' table gives it.
QString shippedNote(int n) {
    return n == 1 ? NoteOxygen : n == 3 ? NoteChlorine : n == 8 ? NoteSulfurDioxide : QString();
}

// The pictures the browser shows and the notes over the set-up pictures, as the material writes
// them.
void writePropertiesPictures(const DataDirectory &data) {
    data.writePropertiesPictures();
    for (int n = 1; n <= 14; ++n)
        data.write(QStringLiteral("性質/chuuki(%1).txt").arg(n), shippedNote(n).toUtf8() + '\n');
}

class Properties : public ProgramTest {
protected:
    // Reads the bank as the menu does and opens the browser; it needs nothing else.
    PropertiesScreen *open() {
        writePropertiesPictures(data);
        DataRoot = data.root();
        guarded([] {
            loadQuestionBank();
            ScreenSwitch(ScreenId::Properties);
        });
        return screen<PropertiesScreen>();
    }
    // The plates drawn at design time carry no fixture name; every loaded picture does.
    static QString gasShown(PropertiesScreen *s, int n) {
        return fixtureName(s->Command1(n)->picture());
    }
    static void moveTo(QWidget *w, QPoint at) { QTest::mouseMove(w, at); }
    static void moveTo(QWidget *w) { QTest::mouseMove(w, w->rect().center()); }
    static void clickGas(PropertiesScreen *s, int n) {
        moveTo(s->Command1(n));
        QTest::mouseClick(s->Command1(n), Qt::LeftButton);
    }
    static QString properties(PropertiesScreen *s) { return fixtureName(s->Image3->picture()); }
    static QString apparatus(PropertiesScreen *s) { return fixtureName(s->Image4->picture()); }
    // A point on the window background, between the left part and the button column.
    static constexpr QPoint Background{420, 100};
    // A point on Frame1's own margin, right of the buttons.
    static constexpr QPoint Frame1Margin{136, 100};
};

TEST_F(Properties, OpensWaitingWithTheDesignTimePicturesAndTheFocusOnBack) {
    PropertiesScreen *s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(s->windowTitle(), QStringLiteral("気体の性質"));
    EXPECT_EQ(s->size(), QSize(766, 540));
    EXPECT_TRUE(s->Image2->isVisible());
    EXPECT_FALSE(s->Frame2->isVisible());
    EXPECT_FALSE(s->Frame3->isVisible());
    EXPECT_TRUE(s->Label1->isHidden());
    EXPECT_TRUE(s->Label1->caption().isEmpty());
    EXPECT_TRUE(s->Image3->picture().isNull());
    EXPECT_TRUE(s->Image4->picture().isNull());
    for (int n = 1; n <= 14; ++n) {
        EXPECT_EQ(gasShown(s, n), QString()) << "Form_Load reads no gas picture, button " << n;
        EXPECT_EQ(s->Command1(n)->picture().size(), QSize(120, 40));
    }
    EXPECT_EQ(std::tuple(s->GasHighlighted(), s->GasHover()), std::tuple(1, 1));
    EXPECT_EQ(s->focusWidget(), s->Command3);
    EXPECT_EQ(s->Command1(5)->accessibleName(), QStringLiteral("アンモニア"));
    EXPECT_EQ(s->Command4->accessibleName(), QStringLiteral("ヴァポリカ"));
    EXPECT_EQ(s->Command3->accessibleName(), QStringLiteral("戻る"));
    EXPECT_EQ(s->Frame2->caption(), QStringLiteral("説明"));
    EXPECT_EQ(s->Frame3->caption(), QStringLiteral("実験装置"));
    EXPECT_THROW(s->Command1(0), RuntimeError);
    EXPECT_THROW(s->Command1(15), RuntimeError);
}

TEST_F(Properties, ControlsSitWhereTheLayoutPutsThemAndEarlierRowsCoverLaterOnes) {
    PropertiesScreen *s = open();
    expectPlacements({
        {"Frame2", s->Frame2, {37, 4, 365, 265}},
        {"Image3 in Frame2, empty", s->Image3, {13, 20, 342, 237}},
        {"Frame3", s->Frame3, {37, 270, 502, 264}},
        {"Label1 in Frame3, empty", s->Label1, {335, 33, 7, 17}},
        {"Image4 in Frame3, empty", s->Image4, {12, 19, 427, 196}},
        {"Command2", s->Command2, {449, 26, 104, 32}},
        {"Command4", s->Command4, {449, 68, 104, 32}},
        {"Command3", s->Command3, {449, 109, 104, 32}},
        {"Image1, its picture's size", s->Image1, {412, 159, 170, 89}},
        {"Image2, its picture's size", s->Image2, {192, 406, 292, 51}},
        {"Frame1", s->Frame1, {591, 24, 143, 504}},
        {"Command1(1) in Frame1", s->Command1(1), {8, 12, 122, 35}},
        {"Command1(9) in Frame1", s->Command1(9), {8, 291, 122, 35}},
        {"Command1(14) in Frame1", s->Command1(14), {8, 464, 122, 35}},
    });

    // Neighbouring gas buttons 8 and 9 share one pixel row; the earlier one covers it.
    EXPECT_EQ(s->Frame1->childAt(20, 291), s->Command1(8));
    clickGas(s, 1);
    EXPECT_EQ(s->Frame3->childAt(s->Label1->geometry().center()), s->Label1);
    // The two frames fill the left part and leave the title and the buttons free.
    EXPECT_FALSE(s->Frame2->geometry().intersects(s->Frame3->geometry()));
    for (QWidget *w : {static_cast<QWidget *>(s->Image1), static_cast<QWidget *>(s->Command3)})
        EXPECT_FALSE(s->Frame2->geometry().intersects(w->geometry()));
    EXPECT_TRUE(s->Frame3->geometry().contains(s->Image2->geometry()));
}

TEST_F(Properties, EachClickShowsThatGasAndOnlyTheThreeNotesShowTheLabel) {
    PropertiesScreen *s = open();
    struct Step {
        int gas;
        bool noted;
        QString caption; // what the label then holds, shown or not
    };
    // The standard bank gives gas g the apparatus picture g mod 5 + 1.
    const std::vector<Step> steps = {
        {1, true, NoteOxygen},          {2, false, NoteOxygen},  {8, true, NoteSulfurDioxide},
        {14, false, NoteSulfurDioxide}, {3, true, NoteChlorine}, {3, true, NoteChlorine},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.gas);
        clickGas(s, step.gas);
        EXPECT_FALSE(s->Image2->isVisible());
        EXPECT_TRUE(s->Frame2->isVisible());
        EXPECT_TRUE(s->Frame3->isVisible());
        EXPECT_EQ(properties(s), QStringLiteral("seisitu(%1)").arg(step.gas));
        EXPECT_EQ(apparatus(s), QStringLiteral("souti(%1)").arg(step.gas % 5 + 1));
        EXPECT_EQ(s->Image3->size(), QSize(342, 237));
        EXPECT_EQ(s->Image4->size(), QSize(427, 196));
        EXPECT_EQ(s->Label1->isVisible(), step.noted);
        EXPECT_EQ(s->Label1->caption(), step.caption);
    }
    EXPECT_TRUE(reports.empty());
}

// The notes are the material's: a teacher's note shows over its gas's picture, and a data
// directory without a note file shows none, as for a gas without a note.
TEST_F(Properties, TheNoteIsTheDataDirectorysOwn) {
    PropertiesScreen *s = open();
    data.write(QStringLiteral("性質/chuuki(2).txt"),
               QStringLiteral("亜鉛と希硫酸の場合\n").toUtf8());
    data.remove(QStringLiteral("性質/chuuki(3).txt"));
    clickGas(s, 2);
    EXPECT_TRUE(s->Label1->isVisible());
    EXPECT_EQ(s->Label1->caption(), QStringLiteral("亜鉛と希硫酸の場合"));
    clickGas(s, 3);
    EXPECT_FALSE(s->Label1->isVisible());
    EXPECT_TRUE(reports.empty());
}

TEST_F(Properties, TheLabelFitsItsNoteOnOneLineCentredOnItsDesignBox) {
    PropertiesScreen *s = open();
    const int centre = s->Label1->geometry().center().x();
    EXPECT_EQ(centre, 338);                                        // (5025 + 105 / 2) twips
    const QRect inside = s->Frame3->rect().adjusted(2, 2, -2, -2); // within the etched border
    for (int gas : {1, 3, 8}) {
        SCOPED_TRACE(gas);
        clickGas(s, gas);
        const QRect label = s->Label1->geometry();
        const int textWidth = s->Label1->fontMetrics().horizontalAdvance(s->Label1->caption());
        EXPECT_GE(label.width(), textWidth);
        EXPECT_LE(label.width(), textWidth + 4);
        EXPECT_NEAR(label.center().x(), centre, 1);
        EXPECT_EQ(label.top(), 33);
        EXPECT_EQ(label.height(), 17);
        EXPECT_TRUE(inside.contains(label)) << label.left() << ".." << label.right();
    }
}

TEST_F(Properties, ClickingTheSameGasAgainReadsBothPicturesAnew) {
    PropertiesScreen *s = open();
    clickGas(s, 3);
    data.write(QStringLiteral("性質/seisitu(3).gif"),
               DataDirectory::fixturePicture(QStringLiteral("edited page"), {342, 237}));
    data.write(QStringLiteral("装置/souti(4).gif"),
               DataDirectory::fixturePicture(QStringLiteral("edited set-up"), {427, 196}));
    clickGas(s, 3);
    EXPECT_EQ(properties(s), QStringLiteral("edited page"));
    EXPECT_EQ(apparatus(s), QStringLiteral("edited set-up"));
    EXPECT_TRUE(s->Label1->isVisible());
    EXPECT_EQ(s->Label1->caption(), NoteChlorine);
}

TEST_F(Properties, TheApparatusPictureIsTheOneTheBankNamesForTheGas) {
    // Gases 2 and 12 share set-up 7; every other gas g gets 15 - g.
    QByteArray taiou;
    for (int g = 1; g <= 14; ++g)
        taiou += QByteArray::number(g == 2 || g == 12 ? 7 : 15 - g) + "\r\n";
    data.writeBank(DataDirectory::standardMondai(), taiou);
    PropertiesScreen *s = open();
    for (auto [gas, picture] : {std::pair{2, 7}, std::pair{12, 7}, std::pair{4, 11}}) {
        SCOPED_TRACE(gas);
        clickGas(s, gas);
        EXPECT_EQ(apparatus(s), QStringLiteral("souti(%1)").arg(picture));
    }
}

TEST_F(Properties, RightAfterLoadingOnlyButtonOneStaysUnhighlighted) {
    for (int n = 1; n <= 14; ++n) {
        SCOPED_TRACE(n);
        resetNavigation();
        PropertiesScreen *s = open();
        moveTo(s->Command1(n));
        // Leaving the "highlighted" button 1 gives it its normal picture from the file.
        for (int other = 1; other <= 14; ++other) {
            QString shown;
            if (n != 1 && other == n)
                shown = QStringLiteral("gas2(%1)").arg(n);
            else if (n != 1 && other == 1)
                shown = QStringLiteral("gas1(1)");
            EXPECT_EQ(gasShown(s, other), shown) << "button " << other;
        }
        EXPECT_EQ(s->GasHighlighted(), n);
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(Properties, HoverMovesFromButtonToButtonAndTheBackgroundOrFrameRestores) {
    PropertiesScreen *s = open();
    moveTo(s, Background);
    EXPECT_EQ(gasShown(s, 1), QStringLiteral("gas1(1)")) << "the reset reloads even unhighlighted";
    EXPECT_EQ(s->GasHighlighted(), -1);
    moveTo(s->Command1(1));
    EXPECT_EQ(gasShown(s, 1), QStringLiteral("gas2(1)"));
    moveTo(s->Command1(2));
    EXPECT_EQ(gasShown(s, 1), QStringLiteral("gas1(1)"));
    EXPECT_EQ(gasShown(s, 2), QStringLiteral("gas2(2)"));
    moveTo(s->Frame1, Frame1Margin);
    EXPECT_EQ(gasShown(s, 2), QStringLiteral("gas1(2)"));
    EXPECT_EQ(std::tuple(s->GasHighlighted(), s->GasHover()), std::tuple(-1, 2));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Properties, AClickFreezesNothing) {
    PropertiesScreen *s = open();
    clickGas(s, 6);
    EXPECT_EQ(gasShown(s, 6), QStringLiteral("gas2(6)")) << "the clicked button keeps its look";
    moveTo(s->Command1(7));
    EXPECT_EQ(gasShown(s, 6), QStringLiteral("gas1(6)"));
    EXPECT_EQ(gasShown(s, 7), QStringLiteral("gas2(7)"));
    moveTo(s, Background);
    EXPECT_EQ(gasShown(s, 7), QStringLiteral("gas1(7)"));
    EXPECT_EQ(s->GasHighlighted(), -1);
}

TEST_F(Properties, MovesOverTheFramesPicturesAndLabelResetNothing) {
    PropertiesScreen *s = open();
    struct Place {
        const char *what;
        QWidget *widget;
        QPoint at;
    };
    auto keepsHighlight = [&](const std::vector<Place> &places) {
        for (const Place &p : places) {
            SCOPED_TRACE(p.what);
            ASSERT_TRUE(p.widget->isVisible());
            moveTo(p.widget, p.at);
            EXPECT_EQ(gasShown(s, 5), QStringLiteral("gas2(5)"));
            EXPECT_EQ(s->GasHighlighted(), 5);
        }
    };
    moveTo(s->Command1(5));
    keepsHighlight({{"title picture", s->Image1, {85, 45}}, {"banner", s->Image2, {146, 25}}});
    clickGas(s, 1); // brings up the frames and the label; the pointer passes onto button 1
    moveTo(s->Command1(5));
    keepsHighlight({
        {"Frame2 beside its picture", s->Frame2, {5, 150}},
        {"properties picture", s->Image3, {100, 100}},
        {"Frame3 below its picture", s->Frame3, {5, 240}},
        {"apparatus picture", s->Image4, {100, 150}},
        {"label", s->Label1, {20, 8}},
    });
    moveTo(s, Background); // the same moves do reach the screen's own handlers
    EXPECT_EQ(gasShown(s, 5), QStringLiteral("gas1(5)"));
}

TEST_F(Properties, TabVisitsTheButtonsInOrderAndTheKeysPressThem) {
    PropertiesScreen *s = open();
    QApplication::setActiveWindow(s);
    ASSERT_EQ(QApplication::focusWidget(), s->Command3);
    std::vector<QWidget *> cycle{s->Command2};
    for (int n = 14; n >= 1; --n)
        cycle.push_back(s->Command1(n));
    cycle.insert(cycle.end(), {s->Command4, s->Command3});
    for (std::size_t i = 0; i < cycle.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), cycle[i]) << "tab " << i + 1;
    }

    s->Command1(8)->setFocus();
    QTest::keyClick(s->Command1(8), Qt::Key_Return);
    EXPECT_EQ(properties(s), QStringLiteral("seisitu(8)"));
    EXPECT_EQ(s->Label1->caption(), NoteSulfurDioxide);
    for (int n = 1; n <= 14; ++n)
        EXPECT_EQ(gasShown(s, n), QString()) << "no highlight from the keyboard, button " << n;
    s->Command1(2)->setFocus();
    QTest::keyClick(s->Command1(2), Qt::Key_Space);
    EXPECT_EQ(properties(s), QStringLiteral("seisitu(2)"));

    s->Command3->setFocus();
    QTest::keyClick(s->Command3, Qt::Key_Return);
    EXPECT_NE(screen<MenuScreen>(), nullptr);
    EXPECT_TRUE(reports.empty());
}

TEST_F(Properties, AFailedClickHasAlreadyTurnedToTheShowingState) {
    PropertiesScreen *s = open();
    ASSERT_NE(s, nullptr);
    data.remove(QStringLiteral("性質/seisitu(4).gif"));
    QTest::mouseClick(s->Command1(4), Qt::LeftButton);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(s->Image2->isHidden());
    EXPECT_FALSE(s->Frame2->isHidden());
    EXPECT_FALSE(s->Frame3->isHidden());
    EXPECT_TRUE(s->Image4->picture().isNull()) << "the apparatus comes after the properties";
}

// A gas chosen in the browser is read out as its page appears: the gas, the page's words (from
// the text beside the picture), the note over the set-up and the set-up's own words.
TEST_F(Properties, AChosenGasIsReadOutWithItsPage) {
    data.write(QStringLiteral("性質/seisitu(1).txt"), "化学式 O2。水に溶けにくい。\n");
    data.write(QStringLiteral("装置/souti(2).txt"), "試験管で加熱"); // gas 1 shows set-up 2
    PropertiesScreen *s = open();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->announced(), QString());
    clickGas(s, 1);
    EXPECT_EQ(s->announced(), gasName(1) + QStringLiteral("。化学式 O2。水に溶けにくい。") +
                                  NoteOxygen + QStringLiteral("。試験管で加熱。"));
    clickGas(s, 2);
    EXPECT_EQ(s->announced(), gasName(2) + QStringLiteral("。"));
    EXPECT_TRUE(reports.empty());
}

} // namespace
} // namespace vaporica::test
