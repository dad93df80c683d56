// Mistakes a teacher makes in the tables or in a bank edited by hand, and what the tools then say:
// every problem of a run, each as one line naming the question and the line of the file, whether
// it stops the run, and the chemistry a pupil would otherwise learn wrongly.

#include "MaterialSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace vaporica::test;

namespace {

QStringList errorLines(const QStringList &lines) {
    return lines.filter(QRegularExpression(QStringLiteral("^エラー: ")));
}

QString shown(const ToolRun &run) {
    return (run.report + run.said).left(3000);
}

struct Mistake {
    const char *name;
    QList<TableEdit> edits;
    int status;
    QStringList said; // whole lines the run must print
    int errors;       // lines starting with エラー
};

void PrintTo(const Mistake &m, std::ostream *os) {
    *os << m.name;
}

class MistakenTables : public ::testing::TestWithParam<Mistake> {};

TEST_P(MistakenTables, AreReportedWithTheQuestionAndLine) {
    const Mistake &m = GetParam();
    QTemporaryDir output;
    const ToolRun run = runOnEditedTables(output.path(), m.edits);
    EXPECT_EQ(run.status, m.status) << shown(run).toStdString();
    const QStringList lines = run.lines();
    for (const QString &line : m.said)
        EXPECT_TRUE(lines.contains(line)) << line.toStdString() << "\n--\n"
                                          << shown(run).toStdString();
    EXPECT_EQ(errorLines(lines).size(), m.errors) << shown(run).toStdString();
    if (m.status == 1) {
        EXPECT_TRUE(
            QDir(output.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            << "nothing is written when a table has an error";
    }
}

const QString Q2Row = QStringLiteral("2\t酸素\t過酸化水素\t二酸化マンガン\t1\t水上置換\t1\t");
// The end of the last gas's row, where a row after it is written.
const QString EthyleneRowEnd =
    QStringLiteral("（130～140℃ではジエチルエーテル）\t\t燃えやすい。空気と混ぜて火をつけると|爆発"
                   "する。加熱をやめる前にガラス管を|水から出す（水の逆流を防ぐ）");
const QString Q3Row = QStringLiteral("3\t水素\t亜鉛\t希硫酸\t1\t水上置換\t1\t");

INSTANTIATE_TEST_SUITE_P(
    Generator, MistakenTables,
    ::testing::Values(
        Mistake{"ShippedTables", {}, 0, {}, 0},
        // A heated solid's test tube for hydrogen peroxide poured on manganese dioxide.
        Mistake{
            "GeneratorThatDoesNotFit",
            {{"questions.tsv", Q2Row,
              QStringLiteral("2\t酸素\t過酸化水素\t二酸化マンガン\t3\t水上置換\t3\t")}},
            0,
            {QStringLiteral("注意: 問題 2（questions.tsv 13 行目）: 発生装置が 3 ですが、薬品は "
                            "固体＋液体・加熱なし なので 1 のはずです（加熱するなら矢印の上か"
                            "下に「加熱」と書きます）")},
            0},
        Mistake{"LiquidsHeatedInAFlaskWithoutHeat",
                {{"questions.tsv", QStringLiteral("15\t一酸化炭素\tギ酸\t濃硫酸\t2\t水上置換\t6"),
                  QStringLiteral("15\t一酸化炭素\tギ酸\t濃硫酸\t1\t水上置換\t1")}},
                0,
                {QStringLiteral("注意: 問題 15（questions.tsv 26 行目）: 発生装置が 1 ですが、薬品"
                                "は 液体を加熱 なので 2 か 4 のはずです（加熱するなら矢印の上か下"
                                "に「加熱」と書きます）")},
                0},
        // The ammonia set-up, upward displacement, for a question collected over water.
        Mistake{
            "SetupDrawingOfAnotherCollection",
            {{"questions.tsv", Q2Row,
              QStringLiteral("2\t酸素\t過酸化水素\t二酸化マンガン\t1\t水上置換\t5\t")}},
            1,
            {QStringLiteral("エラー: 問題 2（questions.tsv 13 行目）: 装置図 5 は発生装置 3・上方"
                            "置換の図ですが、この問題は発生装置 1・水上置換です。装置図の番号を"
                            "直してください")},
            1},
        Mistake{
            "CollectionTheGasForbids",
            {{"questions.tsv", Q2Row,
              QStringLiteral("2\t酸素\t過酸化水素\t二酸化マンガン\t1\t上方置換\t1\t")}},
            1,
            {QStringLiteral("エラー: 問題 2（questions.tsv 13 行目）: 捕集が上方置換ですが、気体"
                            "表では酸素の捕集は水上置換です"),
             QStringLiteral("エラー: 問題 2（questions.tsv 13 行目）: 装置図 1 は発生装置 1・水上"
                            "置換の図ですが、この問題は発生装置 1・上方置換です。装置図の番号を"
                            "直してください")},
            2},
        // Potassium chlorate's equation for hydrogen peroxide; the catalyst over the arrow counts.
        Mistake{"EquationOfOtherReagents",
                {{"questions.tsv", QStringLiteral("1\t2H2O2 → 2H2O + O2"),
                  QStringLiteral("1\t2KClO3 → 2KCl + 3O2")}},
                1,
                {QStringLiteral("エラー: 問題 2（questions.tsv 13 行目）: 反応式 \"2KClO3 → 2KCl + "
                                "3O2\" の左辺に過酸化水素（H2O2）がありません（触媒のように反応式に"
                                "出ない薬品は、矢印の上か下に化学式を書きます）")},
                1},
        Mistake{
            "SamePreparationAsAnotherQuestion",
            {{"questions.tsv",
              QStringLiteral("4\t水素\t亜鉛\t希塩酸\t1\t水上置換\t1\tZn + 2HCl → ZnCl2 + H2"),
              QStringLiteral("4\t水素\t亜鉛\t希硫酸\t1\t水上置換\t1\tZn + H2SO4 → ZnSO4 + H2")}},
            0,
            {QStringLiteral("注意: 問題 4（questions.tsv 15 行目）: 問題 3 と同じ作り方（亜鉛＋"
                            "希硫酸）です。同じ問題が二つになります")},
            0},
        Mistake{"OneReagentTwice",
                {{"questions.tsv", QStringLiteral("1\t酸素\t塩素酸カリウム\t二酸化マンガン"),
                  QStringLiteral("1\t酸素\t塩素酸カリウム\t塩素酸カリウム")}},
                0,
                {QStringLiteral(
                    "注意: 問題 1（questions.tsv 12 行目）: 薬品1 と 薬品2 がどちらも "
                    "塩素酸カリウム です（問題の画面では薬品が一つしか光りません。一つの薬品"
                    "だけを使う作り方なら、このままで"
                    "かまいません）")},
                0},
        // A card or page that calls an answer acceptable which the drill marks wrong.
        Mistake{
            "CardAllowsAnotherCollection",
            {{"questions.tsv", QStringLiteral("水に少し溶け空気より重い→下方置換\t\n10"),
              QStringLiteral("空気より重い→下方置換（水上置換も可）\t\n10")}},
            1,
            {QStringLiteral("エラー: 問題 9（questions.tsv 20 行目）: 水上置換 を「可」としていま"
                            "すが、この問題の正解は 下方置換 だけです。ドリルは一つの答えしか"
                            "正解にしないので、別の答えを認めるように書かず、その答えがふつう"
                            "である理由を書いてください")},
            1},
        Mistake{
            "CardAllowsAnotherGenerator",
            {{"questions.tsv", QStringLiteral("液体どうしを加熱→試験管　"),
              QStringLiteral("液体どうしを加熱→試験管（丸底フラスコでも可）　")}},
            1,
            {QStringLiteral("エラー: 問題 15（questions.tsv 26 行目）: 丸底フラスコ を「可」とし"
                            "ていますが、この問題の正解は 試験管 だけです。ドリルは一つの答え"
                            "しか正解にしないので、別の答えを認めるように書かず、その答えが"
                            "ふつうである理由を書いてください")},
            1},
        Mistake{
            "PageAllowsAnotherCollection",
            {{"gases.tsv", QStringLiteral("（水に少し溶け、空気より重い）"),
              QStringLiteral("（水上置換でもよい）")}},
            1,
            {QStringLiteral("エラー: gases.tsv 25 行目: 二酸化炭素の性質の画像が 水上置換 を「可」"
                            "としていますが、二酸化炭素の問題の正解は 下方置換 だけです。ドリル"
                            "は一つの答えしか正解にしないので、別の答えを認めるように書かず、"
                            "その答えがふつうである理由を書いてください")},
            1},
        // A card has room for two lines of cautions, each as wide as the card.
        Mistake{"ThreeLinesOfCautions",
                {{"questions.tsv", QStringLiteral("集めない。\n3\t"),
                  QStringLiteral("集めない。|一|二\n3\t")}},
                1,
                {QStringLiteral("エラー: 問題 2（questions.tsv 13 行目）: 「注意」が 3 行あります。"
                                "反応式の画像に入るのは 2 行までです")},
                1},
        Mistake{
            "CautionWiderThanTheCard",
            {{"questions.tsv", QStringLiteral("さらし粉は加熱しなくても"),
              QStringLiteral("さらし粉は、二酸化マンガンとちがって、加熱しなくても")}},
            1,
            {QStringLiteral("エラー: 問題 17（questions.tsv 28 行目）: 注意「さらし粉は、二酸化マ"
                            "ンガンとちがって、加熱しなくても塩酸と反応する（二酸化マンガ…」が"
                            "反応式の画像の幅に収まりません（556 px、入るのは 469 px）")},
            1},
        Mistake{"SpacesInsteadOfTabs",
                {{"questions.tsv", Q3Row, QStringLiteral("3 水素 亜鉛 希硫酸 1 水上置換 1\t")}},
                1,
                {QStringLiteral("エラー: 問題 3（questions.tsv 14 行目）: 列はタブで区切ります（"
                                "スペースが入っています）")},
                1},
        Mistake{"MistypedReagentName",
                {{"questions.tsv", Q2Row,
                  QStringLiteral("2\t酸素\t過酸化水素水\t二酸化マンガン\t1\t水上置換\t1\t")}},
                1,
                {QStringLiteral("エラー: 問題 2（questions.tsv 13 行目）: 薬品1 の 過酸化水素水 は"
                                "知らない名前です。過酸化水素 のまちがいですか？")},
                1},
        Mistake{"ReagentWithoutAState",
                {{"reagents.tsv", QStringLiteral("6\t過酸化水素\tH2O2\t水溶液"),
                  QStringLiteral("6\t過酸化水素\tH2O2\t溶液")}},
                1,
                {QStringLiteral("エラー: reagents.tsv 14 行目: 状態 \"溶液\" は 固体・液体・水溶液 "
                                "のどれでもありません。水溶液 のまちがいですか？")},
                1},
        // Tables copied before the reagents' states were written still make the data.
        Mistake{
            "ReagentsTableWithoutStates",
            {{"reagents.tsv", QStringLiteral("番号\t薬品\t化学式\t状態"),
              QStringLiteral("番号\t薬品\t化学式\t覚え書き")}},
            0,
            {QStringLiteral("注意: reagents.tsv: 列「状態」（固体・液体・水溶液）がないので、発生"
                            "装置が薬品の状態に合うかは確かめていません。見本の reagents.tsv "
                            "から列を写してください")},
            0},
        // The set-up pictures draw a reagent only by its look: no look, no guess.
        Mistake{"ReagentWithAnUnknownLook",
                {{"reagents.tsv", QStringLiteral("7\t希塩酸\tHCl\t水溶液\t無色の液体"),
                  QStringLiteral("7\t希塩酸\tHCl\t水溶液\t透明")}},
                1,
                {QStringLiteral("エラー: reagents.tsv 15 行目: 薬品 希塩酸 の見た目 \"透明\" は知ら"
                                "ない値です。白い粉・灰色の粒・灰色の塊・赤茶色の削りくず・黒い"
                                "粉・黒っぽい塊・無色の液体・油状の液体・水 のどれかを書きます")},
                1},
        // A solid's look on a liquid would draw the picture against the generator's check.
        Mistake{
            "LookThatContradictsTheState",
            {{"reagents.tsv", QStringLiteral("1\t亜鉛\tZn\t固体\t灰色の粒"),
              QStringLiteral("1\t亜鉛\tZn\t液体\t灰色の粒")}},
            1,
            {QStringLiteral("エラー: reagents.tsv 9 行目: 薬品 亜鉛 の見た目 \"灰色の粒\" は固体"
                            "の見た目ですが、状態は液体です。どちらかを直します")},
            1},
        Mistake{
            "ReagentsTableWithoutLooks",
            {{"reagents.tsv", QStringLiteral("状態\t見た目"), QStringLiteral("状態\t覚え書き")}},
            1,
            {QStringLiteral("エラー: reagents.tsv: 列「見た目」がないので、装置の絵に薬品を描け"
                            "ません。見本の reagents.tsv から列を写してください")},
            1},
        // The screens have a place for each reagent and gas, and no more.
        Mistake{
            "AReagentMoreThanTheGasQuizHolds",
            {{"reagents.tsv", QStringLiteral("24\t硫化鉄(Ⅱ)\tFeS\t固体\t黒っぽい塊"),
              QStringLiteral("24\t硫化鉄(Ⅱ)\tFeS\t固体\t黒っぽい塊\n"
                             "25\t硫化亜鉛\tZnS\t固体\t白い粉")}},
            1,
            {QStringLiteral("エラー: reagents.tsv: 行が 25 行あります。ガス クイズの薬品は 3 列 "
                            "× 8 段の 24 か所に並びます。表は 24 行ちょうどにしてください（画面"
                            "に置く場所がないので、増やしたり減らしたりできません）")},
            1},
        Mistake{
            "AGasMoreThanTheColumnHolds",
            {{"gases.tsv", EthyleneRowEnd,
              EthyleneRowEnd +
                  QStringLiteral("\n15\tオゾン\tO3\t1\t水上置換\t\t特異臭\t\t少し溶ける"
                                 "\t分子量 48 ＞ 空気の平均分子量 28.8\t塩化カルシウム\t"
                                 "ヨウ化カリウムデンプン紙が青くなる\t\t有毒\t")}},
            1,
            {QStringLiteral("エラー: gases.tsv: 行が 15 行あります。気体のボタンは、ガス クイズ"
                            "と性質の画面の右に 1 列 14 個並びます。表は 14 行ちょうどにしてく"
                            "ださい（画面に置く場所がないので、増やしたり減らしたりできません）")},
            1},
        // The properties screen's band over the set-up picture holds one short line.
        Mistake{
            "ApparatusNoteTooLongForTheBand",
            {{"gases.tsv", QStringLiteral("\t銅と熱濃硫酸の場合"),
              QStringLiteral("\t銅と熱した濃硫酸から二酸化硫黄を作る場合")}},
            1,
            {QStringLiteral("エラー: gases.tsv 22 行目: 装置図の注記 \"銅と熱した濃硫酸から二酸"
                            "化硫黄を作る場合\" は 20 字です。性質の画面の帯に入るのは 18 字まで"
                            "です。短くしてください")},
            1},
        // Tables copied before the notes were written still make the data, without notes.
        Mistake{
            "GasesTableWithoutNotes",
            {{"gases.tsv", QStringLiteral("\t注意\t装置図の注記"),
              QStringLiteral("\t注意\t覚え書き")}},
            0,
            {QStringLiteral("注意: gases.tsv: 列「装置図の注記」がないので、性質の画面の装置図に"
                            "注記（どの薬品の場合か）を出しません。見本の gases.tsv から列を写"
                            "してください")},
            0},
        // A spreadsheet's UTF-8 export, with a byte-order mark.
        Mistake{"SavedWithAByteOrderMark",
                {{"questions.tsv", QStringLiteral("# 問題表"), QStringLiteral("\uFEFF# 問題表")}},
                0,
                {},
                0},
        // A long vowel mark where the arrow belongs is named, not taken for a formula.
        Mistake{"LongVowelMarkForTheArrow",
                {{"questions.tsv", QStringLiteral("Zn + H2SO4 → ZnSO4 + H2"),
                  QStringLiteral("Zn + H2SO4 ー ZnSO4 + H2")}},
                1,
                {QStringLiteral("エラー: 問題 3（questions.tsv 14 行目）: 反応式 \"Zn + H2SO4 ー "
                                "ZnSO4 + H2\": 矢印 → がありません（「ー」は矢印になりません。→ と"
                                "書きます）")},
                1},
        // Each in its own question, all in one run.
        Mistake{
            "ThreeMistakesInOneRun",
            {{"questions.tsv", QStringLiteral("3\t2KClO3 → 2KCl + 3O2"),
              QStringLiteral("3\t2H2O2 → 2H2O + O2")},
             {"questions.tsv", Q2Row,
              QStringLiteral("2\t酸素\t過酸化水素水\t二酸化マンガン\t1\t水上置換\t1\t")},
             {"questions.tsv", Q3Row, QStringLiteral("3\t水素\t亜鉛\t希硫酸\t1\t水上置換\t5\t")}},
            1,
            {QStringLiteral("エラー: 問題 1（questions.tsv 12 行目）: 反応式 \"2H2O2 → 2H2O + "
                            "O2\" の左辺に塩素酸カリウム（KClO3）がありません（触媒のように反応"
                            "式に出ない薬品は、矢印の上か下に化学式を書きます）"),
             QStringLiteral("エラー: 問題 2（questions.tsv 13 行目）: 薬品1 の 過酸化水素水 は"
                            "知らない名前です。過酸化水素 のまちがいですか？"),
             QStringLiteral("エラー: 問題 3（questions.tsv 14 行目）: 装置図 5 は発生装置 3・上方"
                            "置換の図ですが、この問題は発生装置 1・水上置換です。装置図の番号を"
                            "直してください")},
            3},
        // Found only when the card is drawn, and named in the same run as the table's errors.
        Mistake{
            "ALineTooWideBesideAnError",
            {{"questions.tsv", QStringLiteral("→三角フラスコ　水に溶けにくい"),
              QStringLiteral("→三角フラスコ（コックで液体を少しずつ加える）　水に溶けにくい")},
             {"questions.tsv", Q3Row, QStringLiteral("3\t水素\t亜鉛\t希硫酸\t1\t水上置換\t5\t")}},
            1,
            {QStringLiteral("エラー: 問題 2（questions.tsv 13 行目）: 理由「固体＋液体・加熱なし→"
                            "三角フラスコ（コックで液体を少しずつ加える）　水に溶けにく…」が反"
                            "応式の画像の幅に収まりません（573 px、入るのは 469 px）")},
            2}),
    [](const auto &info) { return std::string(info.param.name); });

// A spreadsheet's default text export is in Shift_JIS: said once, not as a row of unknown names.
// The shipped tables make the data without a single warning: no question is asked twice, none
// is made from one reagent alone.
TEST(MistakenTables, TheShippedTablesRaiseNoWarning) {
    QTemporaryDir output;
    const ToolRun run = runOnEditedTables(output.path(), {});
    EXPECT_EQ(run.status, 0) << shown(run).toStdString();
    EXPECT_TRUE(run.lines().filter(QRegularExpression(QStringLiteral("^注意: "))).isEmpty())
        << shown(run).toStdString();
}

TEST(MistakenTables, ATableNotInUtf8IsNamed) {
    QTemporaryDir tables, output;
    copyTables(tables.path(), {});
    QFile gases(QDir(tables.path()).filePath(QStringLiteral("gases.tsv")));
    ASSERT_TRUE(gases.open(QIODevice::ReadOnly));
    QByteArray bytes = gases.readAll();
    gases.close();
    bytes.replace(QStringLiteral("酸素").toUtf8(), QByteArray("\x8e\x5f\x91\x66")); // Shift_JIS
    ASSERT_TRUE(gases.open(QIODevice::WriteOnly | QIODevice::Truncate));
    gases.write(bytes);
    gases.close();
    const ToolRun run = runGenerator(tables.path(), output.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.lines().contains(QStringLiteral(
        "エラー: gases.tsv: 文字コードが UTF-8 ではありません（Shift_JIS や UTF-16 の"
        "ようです）。表計算ソフトやエディターで「UTF-8」を選んで保存し直してください")))
        << shown(run).toStdString();
    EXPECT_EQ(errorLines(run.lines()).size(), 1) << shown(run).toStdString();
}

// Full-width characters typed on a Japanese keyboard are taken for what they stand for, so the
// card and its words show the equation as it should be.
TEST(MistakenTables, FullWidthCharactersInAnEquationAreTakenAsHalfWidth) {
    QTemporaryDir output;
    const ToolRun run = runOnEditedTables(
        output.path(), {{"questions.tsv", QStringLiteral("Zn + H2SO4 → ZnSO4 + H2"),
                         QStringLiteral("Ｚｎ ＋ H２SO４ ー＞ ZnSO４ ＋ H２")}});
    EXPECT_EQ(run.status, 0) << shown(run).toStdString();
    QFile words(QDir(output.path()).filePath(QStringLiteral("反応式/siki(3).txt")));
    ASSERT_TRUE(words.open(QIODevice::ReadOnly));
    // The words go on with the card's reasons line.
    EXPECT_EQ(QString::fromUtf8(words.readAll()).section(QStringLiteral("。"), 0, 0),
              QStringLiteral("Zn + H2SO4 → ZnSO4 + H2"));
}

// The data never goes into the tables' folder, nor into a folder inside it (made for the run or
// not); a folder that cannot be written says what to do.
TEST(MistakenTables, AnOutputThatCannotBeUsedIsRefused) {
    QTemporaryDir tables, elsewhere;
    copyTables(tables.path(), {});
    QFile(elsewhere.filePath(QStringLiteral("a-file"))).open(QIODevice::WriteOnly);
    const struct {
        QString output;
        QString said;
    } rows[] = {
        {tables.path(),
         QStringLiteral("出力先が表のフォルダー（またはその中）です。別のフォルダーを"
                        "指定してください")},
        {tables.filePath(QStringLiteral("データ/新しい")),
         QStringLiteral("出力先が表のフォルダー（またはその中）です。")},
        {elsewhere.filePath(QStringLiteral("a-file/データ")),
         QStringLiteral("書けません（書き込む権限がなければ、sudo を付けて実行するか、IT 担当の"
                        "先生に頼んでください）")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.output.toStdString());
        const ToolRun run = runGenerator(tables.path(), row.output);
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.report.contains(row.said)) << run.report.toStdString();
        EXPECT_FALSE(QFileInfo::exists(tables.filePath(QStringLiteral("説明"))));
    }
}

// --- a bank edited by hand --------------------------------------------------------------------

struct HandEdit {
    const char *name;
    std::function<void(const DataCopy &)> edit;
    int status;
    QStringList said;
    int errors;
};

void PrintTo(const HandEdit &e, std::ostream *os) {
    *os << e.name;
}

class EditedBank : public ::testing::TestWithParam<HandEdit> {};

TEST_P(EditedBank, IsCheckedAgainstWhatItsPicturesWereMadeFrom) {
    const HandEdit &e = GetParam();
    DataCopy copy;
    e.edit(copy);
    const ToolRun run = runChecker(copy.root());
    EXPECT_EQ(run.status, e.status) << shown(run).toStdString();
    const QStringList lines = run.lines();
    for (const QString &line : e.said)
        EXPECT_TRUE(lines.contains(line)) << line.toStdString() << "\n--\n"
                                          << shown(run).toStdString();
    EXPECT_EQ(errorLines(lines).size(), e.errors) << shown(run).toStdString();
}

const QString Bank = QStringLiteral("説明/mondai.txt");

INSTANTIATE_TEST_SUITE_P(
    Checker, EditedBank,
    ::testing::Values(
        HandEdit{"AsBuilt", [](const DataCopy &) {}, 0, {}, 0},
        // Every value after the extra one would be read one place out: one report, not dozens.
        HandEdit{
            "OneValueTooMany",
            [](const DataCopy &d) { d.replaceLine(Bank, 3, "2,1,9,1,3,103,5"); },
            1,
            {QStringLiteral("エラー: 説明/mondai.txt:3: 問題 3 の行に値が 7 個あります。一行に "
                            "6 個（気体,薬品1,薬品2,発生装置,捕集,装置図）のはずです。この行を直"
                            "してください（この先の値は確かめていません）")},
            1},
        HandEdit{
            "OneValueTooFew",
            [](const DataCopy &d) { d.replaceLine(Bank, 3, "2,1,9,1,3"); },
            1,
            {QStringLiteral("エラー: 説明/mondai.txt:3: 問題 3 の行に値が 5 個あります。一行に "
                            "6 個（気体,薬品1,薬品2,発生装置,捕集,装置図）のはずです。この行を直"
                            "してください（この先の値は確かめていません）")},
            1},
        // Question 3 turned into an oxygen question: its card and set-up still show hydrogen.
        HandEdit{
            "AnotherQuestionOverOldPictures",
            [](const DataCopy &d) { d.replaceLine(Bank, 3, "1,6,19,1,3,103"); },
            1,
            {QStringLiteral("エラー: 問題 3（説明/mondai.txt 3 行目）: 問題 3 の反応式の画像が"
                            "問題と合いません（反応式/siki(3).gif は 水素・亜鉛・希硫酸 の問題"
                            "のもの、説明/mondai.txt では 酸素・過酸化水素・二酸化マンガン）。"
                            "表を直して vaporica-make-material で作り直してください"),
             QStringLiteral("エラー: 問題 3（説明/mondai.txt 3 行目）: 問題 3 の装置の画像（装置"
                            "/souti(103).gif）が問題と合いません（水素・亜鉛・希硫酸 の問題のも"
                            "の、説明/mondai.txt では 酸素・過酸化水素・二酸化マンガン）。表を"
                            "直して vaporica-make-material で作り直してください"),
             QStringLiteral("注意: 問題 3（説明/mondai.txt 3 行目）: 問題 2 と同じ作り方（過酸化"
                            "水素＋二酸化マンガン）です。同じ問題が二つになります")},
            2},
        HandEdit{
            "GeneratorChangedByHand",
            [](const DataCopy &d) { d.replaceLine(Bank, 2, "1,6,19,3,3,102"); },
            1,
            {QStringLiteral("エラー: 問題 2（説明/mondai.txt 2 行目）: 装置図 1 は発生装置 1・水上"
                            "置換の図ですが、この問題は発生装置 3・水上置換です。装置図の番号を"
                            "直してください"),
             QStringLiteral("注意: 問題 2（説明/mondai.txt 2 行目）: 発生装置が 3 ですが、薬品は "
                            "固体＋液体・加熱なし なので 1 のはずです（加熱するなら矢印の上か"
                            "下に「加熱」と書きます）")},
            1},
        HandEdit{
            "CollectionChangedByHand",
            [](const DataCopy &d) { d.replaceLine(Bank, 2, "1,6,19,1,2,102"); },
            1,
            {QStringLiteral("エラー: 問題 2（説明/mondai.txt 2 行目）: 捕集が上方置換ですが、気体"
                            "表では酸素の捕集は水上置換です")},
            2},
        HandEdit{
            "SetUpOfAnotherQuestion",
            [](const DataCopy &d) { d.replaceLine(Bank, 3, "2,1,9,1,3,104"); },
            1,
            {QStringLiteral("エラー: 問題 3（説明/mondai.txt 3 行目）: 問題 3 の装置の画像（装置"
                            "/souti(104).gif）が問題と合いません（水素・亜鉛・希塩酸 の問題のも"
                            "の、説明/mondai.txt では 水素・亜鉛・希硫酸）。表を直して "
                            "vaporica-make-material で作り直してください")},
            1},
        // A picture copied in from another question (or another data directory).
        HandEdit{
            "PictureOfAnotherQuestion",
            [](const DataCopy &d) {
                d.write(QStringLiteral("反応式/siki(3).gif"),
                        d.read(QStringLiteral("反応式/siki(4).gif")));
            },
            1,
            {QStringLiteral("エラー: 問題 3（反応式/siki(3).gif）: 作ったときと中身がちがいます"
                            "（ほかのデータの画像がまざったか、手で書きかえられています）。表を"
                            "直して vaporica-make-material で作り直してください")},
            1}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
