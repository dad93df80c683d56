// The question editor's model without a window: edits give the tables written, the generator's
// findings beside their fields and the pictures the generator itself writes for the row; tables
// that cannot be read give a report, never a crash.

#include "QuestionEditor.h"
#include "Typeset.h"
#include "drawing/Fonts.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vaporica::editor;
using vaporica::material::Severity;

namespace {

const QString Shipped = QStringLiteral(VAPORICA_SOURCE_DIR "/material");

std::unique_ptr<QuestionEditor> openShipped() {
    QuestionEditor::Opened opened = QuestionEditor::open(Shipped, Shipped);
    EXPECT_TRUE(opened.report.isEmpty()) << opened.report.toStdString();
    return std::move(opened.editor);
}

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Edit {
    Field field;
    QString value;
};

// Question 3 made into carbon dioxide from sodium hydrogen carbonate and dilute sulfuric acid.
const QList<Edit> CarbonDioxide = {
    {Field::Gas, QStringLiteral("二酸化炭素")},
    {Field::Reagent1, QStringLiteral("炭酸水素ナトリウム")},
    {Field::Reagent2, QStringLiteral("希硫酸")},
    {Field::Collection, QStringLiteral("下方置換")},
    {Field::Drawing, QStringLiteral("2")},
    {Field::Equation, QStringLiteral("2NaHCO3 + H2SO4 → Na2SO4 + 2H2O + 2CO2")},
    {Field::Reasons, QStringLiteral("固体＋液体・加熱なし→三角フラスコ　水に少し溶け空気より重い→"
                                    "下方置換")},
    {Field::Cautions, QString()},
};

struct EditCase {
    const char *name;
    QList<Edit> edits;
    Severity severity;
    Field field;   // where the finding stands
    QString words; // in the generator's own words
};

void PrintTo(const EditCase &c, std::ostream *os) {
    *os << c.name;
}

class EditFindings : public testing::TestWithParam<EditCase> {};

TEST_P(EditFindings, StandBesideTheirField) {
    auto editor = openShipped();
    ASSERT_TRUE(editor);
    ASSERT_TRUE(editor->findingsOf(3, GetParam().field).isEmpty());
    for (const Edit &e : GetParam().edits)
        editor->setCell(3, e.field, e.value);
    const auto found = editor->findingsOf(3, GetParam().field);
    ASSERT_FALSE(found.isEmpty()) << "no finding on " << columnOf(GetParam().field).toStdString();
    EXPECT_EQ(found.first().severity, GetParam().severity);
    EXPECT_TRUE(found.first().message.contains(GetParam().words))
        << found.first().message.toStdString();
    EXPECT_TRUE(editor->differsFromShipped(3));
}

QList<Edit> plus(QList<Edit> edits, const QList<Edit> &more) {
    return edits + more;
}

INSTANTIATE_TEST_SUITE_P(
    Question3, EditFindings,
    testing::Values(EditCase{"Unbalanced",
                             plus(CarbonDioxide,
                                  {{Field::Equation, QStringLiteral("NaHCO3 + H2SO4 → Na2SO4 + "
                                                                    "H2O + CO2")}}),
                             Severity::Error, Field::Equation, QStringLiteral("つり合いません")},
                    EditCase{"GeneratorForHeating",
                             plus(CarbonDioxide, {{Field::Generator, QStringLiteral("4")},
                                                  {Field::Drawing, QStringLiteral("7")}}),
                             Severity::Warning, Field::Generator, QStringLiteral("1 のはずです")},
                    EditCase{"DrawingOfAnotherGenerator",
                             plus(CarbonDioxide, {{Field::Drawing, QStringLiteral("5")}}),
                             Severity::Error, Field::Drawing, QStringLiteral("装置図 5")},
                    EditCase{"CollectionOfAnotherGas",
                             plus(CarbonDioxide, {{Field::Collection, QStringLiteral("水上置換")}}),
                             Severity::Error, Field::Collection, QStringLiteral("捕集が")},
                    EditCase{"UnknownReagent",
                             {{Field::Reagent1, QStringLiteral("亜鉛粉")}},
                             Severity::Error,
                             Field::Reagent1,
                             QStringLiteral("亜鉛 のまちがいですか")},
                    EditCase{"ReagentMissingFromEquation",
                             {{Field::Reagent2, QStringLiteral("希塩酸")}},
                             Severity::Error,
                             Field::Equation,
                             QStringLiteral("左辺に")},
                    EditCase{"OneReagentTwice",
                             {{Field::Reagent1, QStringLiteral("希硫酸")}},
                             Severity::Warning,
                             Field::Reagent2,
                             QStringLiteral("どちらも")},
                    EditCase{"AnotherAnswerAllowed",
                             {{Field::Reasons, QStringLiteral("固体＋液体・加熱なし→三角フラスコ　"
                                                              "上方置換でもよい")}},
                             Severity::Error,
                             Field::Reasons,
                             QStringLiteral("「可」としています")},
                    EditCase{"ThreeCautions",
                             {{Field::Cautions, QStringLiteral("一|二|三")}},
                             Severity::Error,
                             Field::Cautions,
                             QStringLiteral("3 行")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(QuestionEditor, SavesTheEditedRowAndKeepsTheOthers) {
    auto editor = openShipped();
    ASSERT_TRUE(editor);
    for (const Edit &e : CarbonDioxide)
        editor->setCell(3, e.field, e.value);
    EXPECT_EQ(vaporica::material::errorCount(editor->findings()), 0)
        << vaporica::material::reportLine(editor->findings().value(0)).toStdString();
    EXPECT_TRUE(editor->unsaved());
    QTemporaryDir out;
    ASSERT_EQ(editor->save(out.path()), QString());
    EXPECT_FALSE(editor->unsaved());
    const QStringList saved = QString::fromUtf8(readAll(out.filePath("questions.tsv"))).split('\n');
    const QStringList shipped = QString::fromUtf8(readAll(Shipped + "/questions.tsv")).split('\n');
    ASSERT_EQ(saved.size(), shipped.size());
    for (int k = 0; k < saved.size(); ++k) {
        if (saved[k].startsWith(QStringLiteral("3\t")))
            EXPECT_EQ(saved[k], QStringLiteral("3\t二酸化炭素\t炭酸水素ナトリウム\t希硫酸\t1\t下方"
                                               "置換\t2\t2NaHCO3 + H2SO4 → Na2SO4 + 2H2O + "
                                               "2CO2\t\t\t固体＋液体・加熱なし→三角フラスコ　水に"
                                               "少し溶け空気より重い→下方置換\t"));
        else
            EXPECT_EQ(saved[k], shipped[k]) << "line " << k + 1;
    }
    EXPECT_EQ(readAll(out.filePath("gases.tsv")), readAll(Shipped + "/gases.tsv"));
    EXPECT_EQ(readAll(out.filePath("reagents.tsv")), readAll(Shipped + "/reagents.tsv"));
}

TEST(QuestionEditor, RefusesToSaveWithAnErrorAndSaysWhy) {
    auto editor = openShipped();
    ASSERT_TRUE(editor);
    editor->setCell(3, Field::Equation, QStringLiteral("Zn + H2SO4 → ZnSO4 + 2H2"));
    QTemporaryDir out;
    const QString why = editor->save(out.path());
    EXPECT_TRUE(why.contains(QStringLiteral("問題 3"))) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("questions.tsv"))) << why.toStdString();
    EXPECT_FALSE(QFile::exists(out.filePath("questions.tsv")));
}

TEST(QuestionEditor, UndoesTypingInOneStepAndRevertsToTheShippedQuestion) {
    auto editor = openShipped();
    ASSERT_TRUE(editor);
    const QString shipped = editor->cell(3, Field::Reasons);
    editor->setCell(3, Field::Reasons, shipped + "あ");
    editor->setCell(3, Field::Reasons, shipped + "あい");
    editor->setCell(3, Field::Gas, QStringLiteral("酸素"));
    editor->undo();
    EXPECT_EQ(editor->cell(3, Field::Gas), QStringLiteral("水素"));
    EXPECT_EQ(editor->cell(3, Field::Reasons), shipped + "あい");
    editor->undo();
    EXPECT_EQ(editor->cell(3, Field::Reasons), shipped);
    EXPECT_FALSE(editor->unsaved());
    editor->redo();
    EXPECT_EQ(editor->cell(3, Field::Reasons), shipped + "あい");
    editor->setCell(5, Field::Reasons, QStringLiteral("x"));
    editor->revert(3);
    EXPECT_FALSE(editor->differsFromShipped(3));
    EXPECT_TRUE(editor->differsFromShipped(5));
    editor->revertAll();
    EXPECT_FALSE(editor->differsFromShipped(5));
    EXPECT_FALSE(editor->unsaved());
    editor->undo();
    EXPECT_TRUE(editor->differsFromShipped(5));
}

// The preview is the generator's picture: the GIF make-material writes for the edited row, up to
// the colours the GIF's palette rounds.
QImage onWhite(const QImage &picture) {
    QImage white(picture.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    QPainter(&white).drawImage(0, 0, picture);
    return white;
}

double differingShare(const QImage &a, const QImage &b) {
    const QImage x = onWhite(a), y = onWhite(b);
    if (x.size() != y.size())
        return 1;
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                    std::abs(qBlue(p) - qBlue(q)) >
                60)
                ++differing;
        }
    return double(differing) / (x.width() * x.height());
}

TEST(QuestionEditor, PreviewsAreThePicturesTheGeneratorWrites) {
    auto editor = openShipped();
    ASSERT_TRUE(editor);
    for (const Edit &e : CarbonDioxide)
        editor->setCell(3, e.field, e.value);
    QTemporaryDir work;
    ASSERT_EQ(editor->save(work.filePath("tables")), QString());
    QProcess make;
    make.start(QStringLiteral(VAPORICA_MAKE_MATERIAL),
               {work.filePath("tables"), work.filePath("data")});
    ASSERT_TRUE(make.waitForFinished(120000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
    const auto card = editor->equationCard(3);
    const auto setup = editor->setupPicture(3);
    ASSERT_TRUE(card && setup);
    EXPECT_LT(differingShare(*card, QImage(work.filePath("data/反応式/siki(3).gif"))), 0.002);
    // The set-up's GIF keeps one transparent colour: its half-covered edge pixels go.
    EXPECT_LT(differingShare(*setup, QImage(work.filePath("data/装置/souti(103).gif"))), 0.02);
    EXPECT_GT(differingShare(*setup, QImage(work.filePath("data/装置/souti(101).gif"))), 0.02);
    // A picture of another question or another type size would not pass.
    EXPECT_GT(differingShare(*card, QImage(work.filePath("data/反応式/siki(9).gif"))), 0.002);
    // On a denser screen: the files the pupils' program shows there, drawn at twice the size.
    const auto sharpCard = editor->equationCard(3, nullptr, 2);
    const auto sharpSetup = editor->setupPicture(3, nullptr, 2);
    ASSERT_TRUE(sharpCard && sharpSetup);
    EXPECT_LT(differingShare(*sharpCard, QImage(work.filePath("data/反応式/siki(3)@2x.gif"))),
              0.002);
    EXPECT_LT(differingShare(*sharpSetup, QImage(work.filePath("data/装置/souti(103)@2x.gif"))),
              0.02);
}

struct DamagedCase {
    const char *name;
    QByteArray questions;
    QString words;
};

// The name, not a dump of the table's bytes, in the runner's listing.
void PrintTo(const DamagedCase &c, std::ostream *os) {
    *os << c.name;
}

class DamagedTables : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedTables, GiveAReportNamingTheFile) {
    QTemporaryDir dir;
    QFile f(dir.filePath("questions.tsv"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(GetParam().questions);
    f.close();
    const QuestionEditor::Opened opened = QuestionEditor::open(dir.path(), Shipped);
    EXPECT_FALSE(opened.editor);
    EXPECT_TRUE(opened.report.contains(QStringLiteral("questions.tsv")))
        << opened.report.toStdString();
    EXPECT_TRUE(opened.report.contains(GetParam().words)) << opened.report.toStdString();
}

QByteArray shippedWithout(int rows) {
    QList<QByteArray> lines = readAll(Shipped + "/questions.tsv").split('\n');
    lines.resize(lines.size() - 1 - rows);
    return lines.join('\n') + '\n';
}

INSTANTIATE_TEST_SUITE_P(
    Opening, DamagedTables,
    testing::Values(DamagedCase{"ShiftJis", QByteArray("\x94\xd4\x8d\x86\t\x8b\x43\x91\xcc\n"),
                                QStringLiteral("UTF-8")},
                    DamagedCase{"Empty", QByteArray(), QStringLiteral("見出しに列")},
                    DamagedCase{"NoHeading", QByteArray("1\t2\t3\n"), QStringLiteral("見出しに列")},
                    DamagedCase{"RowsMissing", shippedWithout(3), QStringLiteral("17 行")},
                    DamagedCase{"Binary", QByteArray("\x00\x01\x02\xff\xfe", 5),
                                QStringLiteral("UTF-8")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(QuestionEditor, OpensASpreadsheetsTrailingTabsAndAnUnreadableFolderSaysSo) {
    QTemporaryDir dir;
    QByteArray text;
    for (const QByteArray &line : readAll(Shipped + "/questions.tsv").split('\n'))
        text += line.isEmpty() || line.startsWith('#') ? line + "\r\n" : line + "\t\t\t\r\n";
    QFile f(dir.filePath("questions.tsv"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xef\xbb\xbf" + text);
    f.close();
    QuestionEditor::Opened opened = QuestionEditor::open(dir.path(), Shipped);
    ASSERT_TRUE(opened.editor) << opened.report.toStdString();
    EXPECT_EQ(vaporica::material::errorCount(opened.editor->findings()), 0);
    EXPECT_FALSE(opened.editor->differsFromShipped(1));

    const QuestionEditor::Opened none =
        QuestionEditor::open(dir.filePath("none"), dir.filePath("none"));
    EXPECT_FALSE(none.editor);
    EXPECT_TRUE(none.report.contains(QStringLiteral("読み込めません")))
        << none.report.toStdString();
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    vaporica::installFontSubstitutes();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
