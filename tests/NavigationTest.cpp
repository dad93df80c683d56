#include "app/Navigation.h"
#include "assets/DataPaths.h"
#include "base/SharedVariables.h"
#include "screens/ApparatusQuizScreen.h"
#include "screens/GasQuizScreen.h"
#include "screens/MenuScreen.h"
#include "screens/PropertiesScreen.h"
#include "screens/ScreenFactory.h"
#include "screens/SummaryScreen.h"

#include "TestSupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <typeinfo>

namespace vaporica::test {
namespace {

struct DataRootCase {
    const char *reported;
    const char *expected;
};

void PrintTo(const DataRootCase &c, std::ostream *os) {
    *os << '"' << c.reported << '"';
}

class DataRootTrimming : public ::testing::TestWithParam<DataRootCase> {};

TEST_P(DataRootTrimming, RemovesOneTrailingSeparatorOnly) {
    EXPECT_EQ(trimDataRoot(QString::fromUtf8(GetParam().reported)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DataRootTrimming,
    ::testing::Values(DataRootCase{"/", ""}, DataRootCase{"/opt/vaporica", "/opt/vaporica"},
                      DataRootCase{"/opt/vaporica/", "/opt/vaporica"},
                      DataRootCase{"/opt/vaporica//", "/opt/vaporica/"},
                      DataRootCase{"/授業/ヴァポリカ 1", "/授業/ヴァポリカ 1"}));

TEST(SharedVariables, AnIndexOutsideTheBoundsIsARuntimeError) {
    resetSharedVariables();
    EXPECT_NO_THROW(AnswerGas(20) = 3);
    EXPECT_THROW(AnswerGas(21), RuntimeError);
    EXPECT_THROW(AnswerGas(-1), RuntimeError);
    EXPECT_THROW(Reagent(1, 3), RuntimeError);
    EXPECT_THROW(GasApparatus(15), RuntimeError);
    try {
        UsedFlag(25);
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), ErrorNumber::SubscriptOutOfRange);
        EXPECT_TRUE(e.reportLine().contains(QStringLiteral("UsedFlag(25)")));
    }
    resetSharedVariables();
}

class Navigation : public ProgramTest {
protected:
    void press(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    QString caption() const { return currentScreen() ? currentScreen()->windowTitle() : QString(); }
};

TEST_F(Navigation, StartUpShowsTheMenuWithItsCaptionAndSize) {
    startProgram();
    auto *menu = screen<MenuScreen>();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("メニュー"));
    EXPECT_EQ(menu->size(), QSize(650, 419));
    EXPECT_EQ(QuestionCount, 20);
    EXPECT_EQ(AnswerGas(2), 2);
    EXPECT_TRUE(reports.empty());
}

// The program's folder may be reported with a separator at its end; the data root must not keep
// it, or every path the program builds would carry a doubled separator.
TEST_F(Navigation, StartUpTrimsTheSeparatorAtTheEndOfTheProgramsFolder) {
    StartUp(data.root() + QStringLiteral("/"));
    EXPECT_EQ(DataRoot, data.root());
    EXPECT_EQ(SoundPath(fragment::RightSound), data.root() + QStringLiteral("/音/o.wav"));
    EXPECT_NE(screen<MenuScreen>(), nullptr);
    EXPECT_TRUE(reports.empty());
}

// The end-to-end tests click where placeInWindow says: for every control of every screen that is
// where the built window has it, a control in a frame offset by the frame; a name or item the
// table does not hold has no place.
TEST_F(Navigation, EveryControlStandsInTheWindowWhereItsTableSays) {
    const QRegularExpression item(QStringLiteral(R"(^(\w+)(?:\((\d+)\))?$)"));
    const auto shown = [](const QRect &r) {
        return QStringLiteral("%1,%2 %3x%4")
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height())
            .toStdString();
    };
    for (ScreenId id : {ScreenId::Menu, ScreenId::GasQuiz, ScreenId::ApparatusQuiz,
                        ScreenId::Summary, ScreenId::Properties}) {
        const std::unique_ptr<Form> form(createScreen(id));
        SCOPED_TRACE(form->windowTitle().toStdString());
        int controls = 0;
        for (QWidget *w : form->findChildren<QWidget *>()) {
            const QRegularExpressionMatch name = item.match(w->objectName());
            if (w->objectName().isEmpty() || !name.hasMatch())
                continue;
            SCOPED_TRACE(w->objectName().toStdString());
            const int index = name.captured(2).isEmpty() ? 1 : name.captured(2).toInt();
            EXPECT_EQ(shown(placeInWindow(id, name.captured(1).toStdString(), index)),
                      shown(QRect(w->mapTo(form.get(), QPoint(0, 0)), w->size())));
            ++controls;
        }
        EXPECT_GT(controls, 5);
        EXPECT_TRUE(placeInWindow(id, "NoSuchControl").isNull());
    }
    EXPECT_FALSE(placeInWindow(ScreenId::GasQuiz, "Command1", GasCount).isNull());
    EXPECT_TRUE(placeInWindow(ScreenId::GasQuiz, "Command1", GasCount + 1).isNull());
    EXPECT_TRUE(placeInWindow(ScreenId::GasQuiz, "Command1", 0).isNull());
    EXPECT_TRUE(placeInWindow(ScreenId::Menu, "Command1", 2).isNull());
}

TEST_F(Navigation, EveryButtonLeadsWhereTheTableSays) {
    using Press = std::function<QAbstractButton *()>;
    struct Row {
        const char *from;
        std::function<void()> reach;
        Press button;
        const char *toCaption; // empty: the program ends
    };
    auto toMenu = [this] { startProgram(); };
    auto toGas = [this] {
        startProgram();
        ScreenSwitch(ScreenId::GasQuiz);
    };
    auto toApparatus = [this] {
        startProgram();
        CurrentQuestion = 1; // these screens show the current question's pictures
        ScreenSwitch(ScreenId::ApparatusQuiz);
    };
    auto toSummary = [this] {
        startProgram();
        CurrentQuestion = 1; // these screens show the current question's pictures
        ScreenSwitch(ScreenId::Summary);
    };
    auto toProperties = [this] {
        startProgram();
        ScreenSwitch(ScreenId::Properties);
    };
    const std::vector<Row> rows = {
        {"menu quiz", toMenu, [this] { return screen<MenuScreen>()->Command1; }, "ヴァポリカ"},
        {"menu properties", toMenu, [this] { return screen<MenuScreen>()->Command2; },
         "気体の性質"},
        {"menu quit", toMenu, [this] { return screen<MenuScreen>()->Command3; }, ""},
        {"gas quit", toGas, [this] { return screen<GasQuizScreen>()->Command2; }, ""},
        {"gas back", toGas, [this] { return screen<GasQuizScreen>()->Command3; }, "メニュー"},
        {"gas properties", toGas, [this] { return screen<GasQuizScreen>()->Command4; },
         "気体の性質"},
        {"apparatus quit", toApparatus, [this] { return screen<ApparatusQuizScreen>()->Command2; },
         ""},
        {"summary quit", toSummary, [this] { return screen<SummaryScreen>()->Command1; }, ""},
        {"summary next", toSummary, [this] { return screen<SummaryScreen>()->Command2; },
         "ヴァポリカ"},
        {"summary properties", toSummary, [this] { return screen<SummaryScreen>()->Command3; },
         "気体の性質"},
        {"summary menu", toSummary, [this] { return screen<SummaryScreen>()->Command4; },
         "メニュー"},
        {"properties quit", toProperties, [this] { return screen<PropertiesScreen>()->Command2; },
         ""},
        {"properties back", toProperties, [this] { return screen<PropertiesScreen>()->Command3; },
         "メニュー"},
        {"properties quiz", toProperties, [this] { return screen<PropertiesScreen>()->Command4; },
         "ヴァポリカ"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.from);
        resetNavigation();
        row.reach();
        ASSERT_NE(currentScreen(), nullptr);
        Form *before = currentScreen();
        press(row.button());
        const QString expected = QString::fromUtf8(row.toCaption);
        if (expected.isEmpty()) {
            EXPECT_TRUE(programHasEnded());
            EXPECT_EQ(programExitStatus(), 0);
            EXPECT_EQ(currentScreen(), nullptr);
        } else {
            EXPECT_FALSE(programHasEnded());
            EXPECT_EQ(caption(), expected);
            EXPECT_NE(currentScreen(), before); // built afresh
            EXPECT_TRUE(currentScreen()->isVisible());
            EXPECT_FALSE(before->isVisible());
        }
        EXPECT_TRUE(reports.empty());
    }
}

TEST_F(Navigation, OnlyTheMenuEmptiesTheRecentWindow) {
    Rnd24 generator(0x2468);
    services().random = std::make_shared<BoundedRandom>(generator);
    startProgram();
    ScreenSwitch(ScreenId::GasQuiz);
    const int first = CurrentQuestion;
    ScreenSwitch(ScreenId::Properties);
    ScreenSwitch(ScreenId::GasQuiz);
    EXPECT_EQ(UsedFlag(first), 1);
    EXPECT_NE(CurrentQuestion, first);
    ScreenSwitch(ScreenId::Menu);
    for (int q = 1; q <= 20; ++q)
        EXPECT_EQ(UsedFlag(q), 0);
}

TEST_F(Navigation, TheMenuRereadsTheBankOnEveryArrival) {
    startProgram();
    QByteArray edited = DataDirectory::standardMondai();
    edited[0] = '9';
    data.writeBank(edited, DataDirectory::standardTaiou());
    EXPECT_EQ(AnswerGas(1), 1);
    ScreenSwitch(ScreenId::Properties);
    EXPECT_EQ(AnswerGas(1), 1);
    ScreenSwitch(ScreenId::Menu);
    EXPECT_EQ(AnswerGas(1), 9);
}

TEST_F(Navigation, CloseBoxEndsTheProgram) {
    startProgram();
    ScreenSwitch(ScreenId::Properties);
    currentScreen()->close();
    EXPECT_TRUE(programHasEnded());
    EXPECT_EQ(programExitStatus(), 0);
}

TEST_F(Navigation, AMissingBankFileEndsTheProgramThroughTheReportBeforeAnyWindow) {
    for (const char *file : {"説明/mondai.txt", "説明/taiou.txt"}) {
        SCOPED_TRACE(file);
        resetNavigation();
        reports.clear();
        data.writeBank(DataDirectory::standardMondai(), DataDirectory::standardTaiou());
        data.remove(QString::fromUtf8(file));
        startProgram();
        EXPECT_TRUE(programHasEnded());
        EXPECT_NE(programExitStatus(), 0);
        EXPECT_EQ(currentScreen(), nullptr);
        ASSERT_EQ(reports.size(), 1u);
        const QString expectedPath =
            QDir::toNativeSeparators(data.root() + QLatin1Char('/') + QString::fromUtf8(file));
        EXPECT_TRUE(reports[0].contains(expectedPath)) << reports[0].toStdString();
        EXPECT_TRUE(reports[0].contains(QStringLiteral("ファイルが見つかりません")));
    }
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString();
}

} // namespace
} // namespace vaporica::test
