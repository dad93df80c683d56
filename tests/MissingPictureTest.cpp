#include "screens/ApparatusQuizScreen.h"
#include "screens/GasQuizScreen.h"
#include "screens/PropertiesScreen.h"

#include "TestSupport.h"

#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace vaporica::test {
namespace {

// In the standard bank question 3 asks for gas 3 from reagents 3 and 7 on set-up picture 4; gas 4
// shows set-up picture 5.
constexpr int Question = 3;

class MissingPicture : public ProgramTest {
protected:
    void openGasQuiz() {
        startProgram();
        random->values = {(Question - 0.5f) / 20.0f};
        random->at = 0;
        guarded([] { ScreenSwitch(ScreenId::GasQuiz); });
    }
    void openOn(ScreenId id) {
        startProgram();
        CurrentQuestion = Question;
        guarded([id] { ScreenSwitch(id); });
    }
    // The way a pupil reaches the summary: both apparatus answers right, then the period ends.
    void answerBothRight() {
        auto *quiz = screen<ApparatusQuizScreen>();
        ASSERT_NE(quiz, nullptr);
        clock->now = 100.2;
        QTest::mouseClick(quiz->Image1(GeneratorAnswer(Question)), Qt::LeftButton);
        QTest::mouseClick(quiz->Image2(CollectorAnswer(Question)), Qt::LeftButton);
        clock->now = 101.1;
        runHandler(quiz->Timer1->onTick);
    }
    PropertiesScreen *properties() {
        auto *s = screen<PropertiesScreen>();
        EXPECT_NE(s, nullptr);
        return s;
    }
};

// A picture gone from the data directory ends the program through one report naming it, on
// whichever screen first needs it: before the window shows when the screen opens with it, at the
// click, hover or reset that first shows it otherwise. Where a bank number chose the picture, the
// report says where that number stands.
TEST_F(MissingPicture, EndsTheProgramThroughTheReportNamingIt) {
    struct Row {
        const char *what;
        QString removed;
        std::function<void()> before; // the way to the screen, with the picture still there
        std::function<void()> act;    // what then needs the picture
        QString numberFrom = {};
    };
    const auto nothing = [] {};
    const auto apparatusQuiz = [this] { openOn(ScreenId::ApparatusQuiz); };
    const auto propertiesScreen = [this] { openOn(ScreenId::Properties); };
    const auto clickGas4 = [this] { QTest::mouseClick(properties()->Command1(4), Qt::LeftButton); };
    const std::vector<Row> table = {
        {"gas quiz: a gas button", QStringLiteral("気体/gas1(3).gif"), nothing,
         [this] { openGasQuiz(); }},
        {"gas quiz: a reagent plate of the question", QStringLiteral("薬品/yaku2(7).gif"), nothing,
         [this] { openGasQuiz(); }},
        {"apparatus quiz: the gas's label", QStringLiteral("気体/gas2(3).gif"), nothing,
         apparatusQuiz},
        {"apparatus quiz: a reagent's label", QStringLiteral("薬品/yaku1(7).gif"), nothing,
         apparatusQuiz},
        // Gone once the apparatus quiz is up, which shows the gas and reagents too.
        {"summary: the gas", QStringLiteral("気体/gas2(3).gif"), apparatusQuiz,
         [this] { answerBothRight(); }},
        {"summary: the equation", QStringLiteral("反応式/siki(3).gif"), apparatusQuiz,
         [this] { answerBothRight(); }},
        {"summary: the set-up", QStringLiteral("装置/souti(4).gif"), apparatusQuiz,
         [this] { answerBothRight(); }, QStringLiteral("mondai.txt の問題 3 の装置図の番号 4")},
        {"summary: a reagent", QStringLiteral("薬品/yaku1(7).gif"), apparatusQuiz,
         [this] { answerBothRight(); }},
        {"properties: the page", QStringLiteral("性質/seisitu(4).gif"), propertiesScreen,
         clickGas4},
        {"properties: the set-up", QStringLiteral("装置/souti(5).gif"), propertiesScreen, clickGas4,
         QStringLiteral("taiou.txt の気体 4（塩化水素）の装置図の番号 5 が指す画像です")},
        {"properties: a highlighted gas button", QStringLiteral("気体/gas2(4).gif"),
         propertiesScreen, [this] { QTest::mouseMove(properties()->Command1(4)); }},
        {"properties: a gas button, at a reset", QStringLiteral("気体/gas1(1).gif"),
         propertiesScreen, [this] { QTest::mouseMove(properties(), QPoint(420, 100)); }},
    };
    for (const Row &row : table) {
        SCOPED_TRACE(row.what);
        resetNavigation();
        reports.clear();
        data.writeQuizPictures();
        data.writePropertiesPictures();
        row.before();
        ASSERT_TRUE(reports.empty()) << reports[0].toStdString();
        data.remove(row.removed);
        row.act();
        expectEndedThroughOneReportNaming(row.removed.section(QLatin1Char('/'), 1));
        if (!reports.empty()) {
            EXPECT_TRUE(reports[0].contains(row.numberFrom)) << reports[0].toStdString();
        }
    }
}

} // namespace
} // namespace vaporica::test
