#include "Tables.h"

#include "ApparatusArt.h"
#include "Checks.h"
#include "Formula.h"
#include "base/Names.h"
#include "base/SharedVariables.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>

namespace vaporica::material {

namespace {

const QStringList CollectionNames = [] {
    QStringList names;
    for (int c = 1; c <= CollectorCount; ++c)
        names << vaporica::collectionName(c);
    return names;
}();
// In the order of State, after Unknown; a solution is a liquid.
const QStringList States = {QStringLiteral("固体"), QStringLiteral("液体")};
const QString SolutionState = QStringLiteral("水溶液");

struct Row {
    int line = 0;
    int index = 0; // 0-based among the table's rows
    QStringList cells;
};

bool hasSpace(const QString &text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

// One table as written. Problems go into the findings; a row that cannot be split into its
// columns is left out of rows(), so no knock-on problem is reported for it.
class RawTable {
public:
    // `words` are the columns that never hold a space: where one does in a row short of columns,
    // the row was typed with spaces instead of tabs.
    RawTable(const QString &path, const QStringList &required, const QStringList &words,
             bool questions, QList<Finding> &findings)
        : file_(QFileInfo(path).fileName()), questions_(questions), findings_(findings) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            report(
                0, 0,
                QStringLiteral("読み込めません（%1）。ファイルがあるか確かめてください").arg(path));
            return;
        }
        // A spreadsheet's "text (tab-separated)" is saved in the system's code page (Shift_JIS) or
        // as UTF-16 unless UTF-8 is chosen; its UTF-8 may start with a byte-order mark.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        QString contents = utf8(f.readAll());
        if (utf8.hasError()) {
            report(0, 0,
                   QStringLiteral("文字コードが UTF-8 ではありません（Shift_JIS や UTF-16 の"
                                  "ようです）。表計算ソフトやエディターで「UTF-8」を選んで保存し"
                                  "直してください"));
            return;
        }
        if (contents.startsWith(QChar(0xFEFF)))
            contents.remove(0, 1);
        // CR, LF and CRLF alike: old spreadsheet exports end lines with CR alone.
        contents.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
        const QStringList lines = contents.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const QString text = lines[i];
            if (text.trimmed().isEmpty() || text.startsWith(QLatin1Char('#')))
                continue;
            QStringList cells = text.split(QLatin1Char('\t'));
            for (QString &c : cells)
                c = c.trimmed();
            if (columns_.isEmpty()) {
                columns_ = cells;
                headerLine_ = i + 1;
                if (hasSpace(cells[0])) {
                    report(
                        0, headerLine_,
                        QStringLiteral("見出しの列はタブで区切ります（スペースが入っています）"));
                    return;
                }
                continue;
            }
            const int index = int(rows_.size() + broken_);
            const int question = questions_ ? index + 1 : 0;
            if (cells.size() < columns_.size() && spacesForTabs(cells, words)) {
                report(question, i + 1,
                       QStringLiteral("列はタブで区切ります（スペースが入っています）"));
                ++broken_;
                continue;
            }
            if (cells.size() > columns_.size()) {
                report(question, i + 1,
                       QStringLiteral("列が %1 個あります（見出しは %2 個）。余分なタブを消して"
                                      "ください")
                           .arg(cells.size())
                           .arg(columns_.size()));
                ++broken_;
                continue;
            }
            while (cells.size() < columns_.size())
                cells << QString();
            rows_.append({i + 1, index, cells});
        }
        QStringList absent;
        for (const QString &name : required)
            if (!columns_.contains(name))
                absent << QStringLiteral("「%1」").arg(name);
        if (!absent.isEmpty()) {
            report(0, headerLine_,
                   QStringLiteral("見出しに列%1がありません").arg(absent.join(QString())));
            rows_.clear();
        }
        usable_ = absent.isEmpty();
    }

    bool usable() const { return usable_; }
    bool hasColumn(const QString &name) const { return columns_.contains(name); }
    const QList<Row> &rows() const { return rows_; }
    const QString &file() const { return file_; }
    int question(const Row &row) const { return questions_ ? row.index + 1 : 0; }

    void report(int question, int line, const QString &what,
                Severity severity = Severity::Error) const {
        findings_.append({severity, question, file_, line, what});
    }
    void report(const Row &row, const QString &what) const {
        report(question(row), row.line, what);
    }

    QString cell(const Row &row, const QString &column) const {
        return row.cells.value(columns_.indexOf(column));
    }
    // The cell, or nothing (reported) when it is empty.
    std::optional<QString> required(const Row &row, const QString &column) const {
        const QString text = cell(row, column);
        if (text.isEmpty()) {
            report(row, QStringLiteral("「%1」が空です").arg(column));
            return std::nullopt;
        }
        return text;
    }
    // 0 (reported) when the cell is no integer in low..high; full-width digits are read too.
    int number(const Row &row, const QString &column, int low, int high) const {
        const std::optional<QString> text = required(row, column);
        if (!text)
            return 0;
        bool ok = false;
        const int value = asHalfWidth(*text).toInt(&ok);
        if (ok && value >= low && value <= high)
            return value;
        report(row, QStringLiteral("「%1」の %2 は %3..%4 の整数ではありません")
                        .arg(column, quoted(*text))
                        .arg(low)
                        .arg(high));
        return 0;
    }
    // Rows must be numbered 1, 2, 3, … in order, and there must be exactly `count` of them. Only
    // the first row out of step is reported: every row after a missing one would be too.
    // `layout` says where the program shows the rows, which fixes how many there are.
    void checkNumbering(const QString &column, int count, const QString &layout) const {
        for (const Row &row : rows_)
            if (asHalfWidth(cell(row, column)) != QString::number(row.index + 1)) {
                report(row, QStringLiteral("「%1」は %2 のはずですが %3 です（行が抜けているか、"
                                           "順番がちがいます）")
                                .arg(column)
                                .arg(row.index + 1)
                                .arg(quoted(cell(row, column))));
                break;
            }
        const int rows = int(rows_.size()) + broken_;
        if (rows != count)
            report(0, 0,
                   QStringLiteral("行が %1 行あります。%2。表は %3 行ちょうどにしてください（画面に"
                                  "置く場所がないので、増やしたり減らしたりできません）")
                       .arg(rows)
                       .arg(layout)
                       .arg(count));
    }

private:
    bool spacesForTabs(const QStringList &cells, const QStringList &words) const {
        if (hasSpace(cells.value(0)))
            return true;
        for (int k = 0; k < cells.size() && k < columns_.size(); ++k)
            if (words.contains(columns_[k]) && hasSpace(cells[k]))
                return true;
        return false;
    }

    QString file_;
    bool questions_ = false;
    QList<Finding> &findings_;
    int headerLine_ = 0;
    QStringList columns_;
    QList<Row> rows_;
    int broken_ = 0;
    bool usable_ = false;
};

int editDistance(const QString &a, const QString &b) {
    QList<int> previous(b.size() + 1), current(b.size() + 1);
    for (int j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (int j = 1; j <= b.size(); ++j)
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1,
                                   previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// "…は知らない名前です。過酸化水素 のまちがいですか？" or where the names are listed.
QString unknownName(const QString &column, const QString &name, const QStringList &known,
                    const QString &table) {
    const QStringList close = closestNames(name, known);
    const QString said =
        QStringLiteral("%1 の %2 は知らない名前です。").arg(column, shortened(name));
    if (!close.isEmpty())
        return said + QStringLiteral("%1 のまちがいですか？").arg(close.join(QStringLiteral("・")));
    return said + QStringLiteral("名前は%1と同じに書きます").arg(table);
}

QStringList namesOf(QString (*nameOf)(int), int count) {
    QStringList names;
    for (int n = 1; n <= count; ++n)
        names << nameOf(n);
    return names;
}

int numberByName(const RawTable &t, const Row &row, const QString &column, const QStringList &known,
                 const QString &table) {
    const std::optional<QString> name = t.required(row, column);
    if (!name)
        return 0;
    const int n = int(known.indexOf(*name)) + 1;
    if (n == 0)
        t.report(row, unknownName(column, *name, known, table));
    return n;
}

// The formula as written, full-width characters taken as what they stand for; empty (reported)
// when it is no formula.
QString formulaCell(const RawTable &t, const Row &row, const QString &column) {
    const std::optional<QString> text = t.required(row, column);
    if (!text)
        return {};
    const QString formula = asHalfWidth(*text).remove(QLatin1Char(' '));
    try {
        atomsOf(formula);
    } catch (const FormulaError &e) {
        t.report(row, QStringLiteral("%1 %2").arg(column, QString::fromStdString(e.what())));
        return {};
    }
    return formula;
}

int drawing(const RawTable &t, const Row &row, const QList<int> &drawn) {
    const int n = t.number(row, QStringLiteral("装置図"), 1, 32767);
    if (n != 0 && !drawn.contains(n)) {
        QStringList numbers;
        for (int d : drawn)
            numbers << QString::number(d);
        t.report(row, QStringLiteral("装置図 %1 は描かれていません（あるのは %2）")
                          .arg(n)
                          .arg(numbers.join(QStringLiteral("・"))));
        return 0;
    }
    return n;
}

// 0 (reported) when the cell names none of `names`.
int oneOf(const RawTable &t, const Row &row, const QString &column, const QStringList &names) {
    const std::optional<QString> name = t.required(row, column);
    if (!name)
        return 0;
    const int n = int(names.indexOf(*name)) + 1;
    if (n == 0) {
        const QStringList close = closestNames(*name, names);
        t.report(row, QStringLiteral("%1 %2 は %3 のどれでもありません%4")
                          .arg(column, quoted(*name), names.join(QStringLiteral("・")),
                               close.isEmpty() ? QString()
                                               : QStringLiteral("。%1 のまちがいですか？")
                                                     .arg(close.join(QStringLiteral("・")))));
    }
    return n;
}

void checkProgramName(const RawTable &t, const Row &row, const QString &column,
                      const QString &programName) {
    const std::optional<QString> name = t.required(row, column);
    if (name && *name != programName)
        t.report(row, QStringLiteral("%1 %2 の名前はプログラムでは「%3」です（表では「%4」）")
                          .arg(column)
                          .arg(row.index + 1)
                          .arg(programName, shortened(*name)));
}

State stateCell(const RawTable &t, const Row &row, bool &solution) {
    solution = t.cell(row, QStringLiteral("状態")) == SolutionState;
    if (solution)
        return State::Liquid;
    return State(oneOf(t, row, QStringLiteral("状態"), States + QStringList{SolutionState}));
}

// The look's name, checked against the drawings' looks and against the reagent's state; empty
// (reported) when it is not one of them.
QString lookCell(const RawTable &t, const Row &row, State state) {
    const std::optional<QString> name = t.required(row, QStringLiteral("見た目"));
    if (!name)
        return {};
    const std::optional<ReagentLook> look = reagentLookNamed(*name);
    if (!look) {
        QStringList known;
        for (const ReagentLook &l : reagentLooks())
            known << l.name;
        t.report(row, QStringLiteral("薬品 %1 の見た目 %2 は知らない値です。%3 のどれかを書きます")
                          .arg(reagentName(row.index + 1), quoted(*name),
                               known.join(QStringLiteral("・"))));
        return {};
    }
    if (state != State::Unknown && look->solid != (state == State::Solid))
        t.report(row, QStringLiteral("薬品 %1 の見た目 %2 は%3の見た目ですが、状態は%4です。"
                                     "どちらかを直します")
                          .arg(reagentName(row.index + 1), quoted(*name),
                               look->solid ? QStringLiteral("固体") : QStringLiteral("液体"),
                               t.cell(row, QStringLiteral("状態"))));
    return *name;
}

QList<ReagentRow> loadReagents(const QString &path, QList<Finding> &findings) {
    const RawTable t(path,
                     {QStringLiteral("番号"), QStringLiteral("薬品"), QStringLiteral("化学式")},
                     {QStringLiteral("番号"), QStringLiteral("化学式"), QStringLiteral("状態"),
                      QStringLiteral("見た目")},
                     false, findings);
    if (!t.usable())
        return {};
    t.checkNumbering(QStringLiteral("番号"), ReagentCount,
                     QStringLiteral("ガス クイズの薬品は %1 列 × %2 段の %3 か所に並びます")
                         .arg(contract::ReagentColumns)
                         .arg(contract::ReagentRows)
                         .arg(ReagentCount));
    // Tables copied before the states were added still make the data; only the generator's fit
    // to the states goes unchecked.
    const bool states = t.hasColumn(QStringLiteral("状態"));
    if (!states)
        t.report(
            0, 0,
            QStringLiteral("列「状態」（固体・液体・水溶液）がないので、発生装置が薬品の状態に"
                           "合うかは確かめていません。見本の reagents.tsv から列を写してください"),
            Severity::Warning);
    // The set-up pictures cannot be drawn without the looks: nothing in the program guesses one.
    const bool looks = t.hasColumn(QStringLiteral("見た目"));
    if (!looks)
        t.report(0, 0,
                 QStringLiteral("列「見た目」がないので、装置の絵に薬品を描けません。見本の "
                                "reagents.tsv から列を写してください"));
    QList<ReagentRow> reagents;
    for (const Row &row : t.rows()) {
        if (row.index >= ReagentCount)
            break;
        ReagentRow r;
        r.line = row.line;
        r.number = row.index + 1;
        r.cells = row.cells.join(QLatin1Char('\t'));
        checkProgramName(t, row, QStringLiteral("薬品"), reagentName(r.number));
        r.formula = formulaCell(t, row, QStringLiteral("化学式"));
        if (states)
            r.state = stateCell(t, row, r.solution);
        if (looks)
            r.look = lookCell(t, row, r.state);
        reagents.append(r);
    }
    return reagents;
}

std::optional<QColor> parseSwatch(const RawTable &t, const Row &row) {
    const QString text = asHalfWidth(t.cell(row, QStringLiteral("色見本")));
    if (text.isEmpty())
        return std::nullopt;
    const QStringList parts = text.split(QLatin1Char(','));
    int rgb[3] = {};
    bool good = parts.size() == 3;
    for (int k = 0; good && k < 3; ++k) {
        rgb[k] = parts[k].trimmed().toInt(&good);
        good = good && rgb[k] >= 0 && rgb[k] <= 255;
    }
    if (!good) {
        t.report(row,
                 QStringLiteral("色見本 %1 は R,G,B（各 0..255）ではありません").arg(quoted(text)));
        return std::nullopt;
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

QList<GasRow> loadGases(const QString &path, const QList<int> &drawn, QList<Finding> &findings) {
    const RawTable t(
        path,
        {QStringLiteral("番号"), QStringLiteral("気体"), QStringLiteral("化学式"),
         QStringLiteral("装置図"), QStringLiteral("捕集"), QStringLiteral("捕集の補足"),
         QStringLiteral("色・におい"), QStringLiteral("色見本"), QStringLiteral("水への溶け方"),
         QStringLiteral("空気との比較"), QStringLiteral("乾燥剤"), QStringLiteral("検出"),
         QStringLiteral("性質"), QStringLiteral("毒性"), QStringLiteral("注意")},
        {QStringLiteral("番号"), QStringLiteral("気体"), QStringLiteral("化学式"),
         QStringLiteral("装置図"), QStringLiteral("捕集"), QStringLiteral("毒性")},
        false, findings);
    if (!t.usable())
        return {};
    t.checkNumbering(
        QStringLiteral("番号"), GasCount,
        QStringLiteral("気体のボタンは、ガス クイズと性質の画面の右に 1 列 %1 個並びます")
            .arg(GasCount));
    // Tables copied before the notes were added make the data without them.
    const bool notes = t.hasColumn(QStringLiteral("装置図の注記"));
    if (!notes)
        t.report(0, 0,
                 QStringLiteral("列「装置図の注記」がないので、性質の画面の装置図に注記（どの薬品の"
                                "場合か）を出しません。見本の gases.tsv から列を写してください"),
                 Severity::Warning);
    QList<GasRow> gases;
    for (const Row &row : t.rows()) {
        if (row.index >= GasCount)
            break;
        GasRow g;
        g.line = row.line;
        g.number = row.index + 1;
        g.cells = row.cells.join(QLatin1Char('\t'));
        checkProgramName(t, row, QStringLiteral("気体"), gasName(g.number));
        g.formula = formulaCell(t, row, QStringLiteral("化学式"));
        g.apparatus = drawing(t, row, drawn);
        g.collection = oneOf(t, row, QStringLiteral("捕集"), CollectionNames);
        g.collectionNote = t.cell(row, QStringLiteral("捕集の補足"));
        g.colourOdour = t.required(row, QStringLiteral("色・におい")).value_or(QString());
        g.swatch = parseSwatch(t, row);
        g.water = t.required(row, QStringLiteral("水への溶け方")).value_or(QString());
        g.air = t.required(row, QStringLiteral("空気との比較")).value_or(QString());
        g.drying = t.required(row, QStringLiteral("乾燥剤")).value_or(QString());
        g.test = t.required(row, QStringLiteral("検出")).value_or(QString());
        g.notes = t.cell(row, QStringLiteral("性質"));
        g.toxicity = t.cell(row, QStringLiteral("毒性"));
        if (!g.toxicity.isEmpty() && g.toxicity != QStringLiteral("有毒") &&
            g.toxicity != QStringLiteral("猛毒"))
            t.report(row, QStringLiteral("毒性 %1 は 有毒・猛毒・空欄 のどれでもありません")
                              .arg(quoted(g.toxicity)));
        g.caution = t.cell(row, QStringLiteral("注意"));
        g.apparatusNote = t.cell(row, QStringLiteral("装置図の注記"));
        if (g.apparatusNote.size() > MaxApparatusNoteCharacters)
            t.report(row,
                     QStringLiteral("装置図の注記 %1 は %2 字です。性質の画面の帯に入るのは %3 "
                                    "字までです。短くしてください")
                         .arg(quoted(g.apparatusNote))
                         .arg(g.apparatusNote.size())
                         .arg(MaxApparatusNoteCharacters));
        gases.append(g);
    }
    return gases;
}

QList<QuestionRow> loadQuestions(const QString &path, const QList<int> &drawn,
                                 QList<Finding> &findings) {
    const RawTable t(path,
                     {QStringLiteral("番号"), QStringLiteral("気体"), QStringLiteral("薬品1"),
                      QStringLiteral("薬品2"), QStringLiteral("発生装置"), QStringLiteral("捕集"),
                      QStringLiteral("装置図"), QStringLiteral("反応式"),
                      QStringLiteral("矢印の上"), QStringLiteral("矢印の下"),
                      QStringLiteral("理由")},
                     {QStringLiteral("番号"), QStringLiteral("気体"), QStringLiteral("薬品1"),
                      QStringLiteral("薬品2"), QStringLiteral("発生装置"), QStringLiteral("捕集"),
                      QStringLiteral("装置図")},
                     true, findings);
    if (!t.usable())
        return {};
    t.checkNumbering(
        QStringLiteral("番号"), MaxQuestions,
        QStringLiteral("問題は %1 問で、出題の順番と記録も %1 問分です").arg(MaxQuestions));
    const QStringList gases = namesOf(gasName, GasCount);
    const QStringList reagents = namesOf(reagentName, ReagentCount);
    QList<QuestionRow> questions;
    for (const Row &row : t.rows()) {
        if (row.index >= MaxQuestions)
            break;
        QuestionRow q;
        q.line = row.line;
        q.number = row.index + 1;
        q.cells = row.cells.join(QLatin1Char('\t'));
        q.gas = numberByName(t, row, QStringLiteral("気体"), gases,
                             QStringLiteral("気体表（gases.tsv）"));
        q.reagent1 = numberByName(t, row, QStringLiteral("薬品1"), reagents,
                                  QStringLiteral("薬品表（reagents.tsv）"));
        q.reagent2 = numberByName(t, row, QStringLiteral("薬品2"), reagents,
                                  QStringLiteral("薬品表（reagents.tsv）"));
        q.generator = t.number(row, QStringLiteral("発生装置"), 1, GeneratorCount);
        q.collection = oneOf(t, row, QStringLiteral("捕集"), CollectionNames);
        q.apparatus = drawing(t, row, drawn);
        q.equation =
            asHalfWidth(t.required(row, QStringLiteral("反応式")).value_or(QString())).simplified();
        // Conditions stay as written but for full-width letters and digits, which would
        // otherwise not be set as formulas (ＭｎＯ２).
        q.overArrow = plainDigitsAndLetters(t.cell(row, QStringLiteral("矢印の上")));
        q.underArrow = plainDigitsAndLetters(t.cell(row, QStringLiteral("矢印の下")));
        q.reasons = t.required(row, QStringLiteral("理由")).value_or(QString());
        // Tables written before the cautions were added have no such column.
        for (const QString &line : t.cell(row, QStringLiteral("注意")).split(QLatin1Char('|')))
            if (!line.trimmed().isEmpty())
                q.cautions << line.trimmed();
        if (q.cautions.size() > MaxCautionLines)
            t.report(row, QStringLiteral(
                              "「注意」が %1 行あります。反応式の画像に入るのは %2 行までです")
                              .arg(q.cautions.size())
                              .arg(MaxCautionLines));
        questions.append(q);
    }
    return questions;
}

} // namespace

QString collectionName(int collection) {
    return CollectionNames.value(collection - 1);
}

QStringList closestNames(const QString &name, const QStringList &known) {
    // Within about half the name's length: a missing or added character (過酸化水素水), a
    // bracket typed full-width (硫化鉄（Ⅱ）); nothing for a word that merely shares a character.
    constexpr qsizetype Longest = 40; // longer than any name: no guess, and no time spent on one
    if (name.size() > Longest)
        return {};
    const int allowed = std::max<int>(1, int(name.size()) / 2);
    int best = allowed + 1;
    QStringList closest;
    for (const QString &candidate : known) {
        const int d = editDistance(name, candidate);
        if (d < best) {
            best = d;
            closest = {candidate};
        } else if (d == best) {
            closest << candidate;
        }
    }
    return closest;
}

LoadedTables loadTables(const QString &materialDir, const QList<int> &apparatusNumbers) {
    LoadedTables loaded;
    Tables &t = loaded.tables;
    t.reagents = loadReagents(materialDir + '/' + ReagentsTable, loaded.findings);
    t.gases = loadGases(materialDir + '/' + GasesTable, apparatusNumbers, loaded.findings);
    t.questions =
        loadQuestions(materialDir + '/' + QuestionsTable, apparatusNumbers, loaded.findings);
    loaded.findings += checkChemistry(t, {QuestionsTable, GasesTable});
    return loaded;
}

} // namespace vaporica::material
