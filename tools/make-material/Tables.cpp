#include "Tables.h"

#include "ApparatusArt.h"
#include "Formula.h"
#include "Plates.h"
#include "app/SharedVariables.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace vaporica::material {

namespace {

const QStringList CollectionNames = {QStringLiteral("下方置換"), QStringLiteral("上方置換"),
                                     QStringLiteral("水上置換")};

struct Row {
    int line = 0;
    QStringList cells;
};

class RawTable {
public:
    RawTable(const QString &path, const QStringList &required) : file_(QFileInfo(path).fileName()) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            throw TableError(QStringLiteral("%1: 読み込めません").arg(path));
        // CR, LF and CRLF alike: old spreadsheet exports end lines with CR alone.
        QString contents = QString::fromUtf8(f.readAll());
        contents.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
        const QStringList lines = contents.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const QString text = lines[i];
            if (text.trimmed().isEmpty() || text.startsWith(QLatin1Char('#')))
                continue;
            QStringList cells = text.split(QLatin1Char('\t'));
            // A row typed with spaces between its values has them all in its first cell, the
            // number (or the header's first name).
            if (cells[0].trimmed().contains(QRegularExpression(QStringLiteral("[ \u3000]"))))
                throw error(i + 1,
                            QStringLiteral("列はタブで区切ります（スペースが入っています）"));
            for (QString &c : cells)
                c = c.trimmed();
            if (columns_.isEmpty()) {
                columns_ = cells;
                headerLine_ = i + 1;
                continue;
            }
            if (cells.size() > columns_.size())
                throw error(i + 1, QStringLiteral("列が %1 個あります（見出しは %2 個）")
                                       .arg(cells.size())
                                       .arg(columns_.size()));
            while (cells.size() < columns_.size())
                cells << QString();
            rows_.append({i + 1, cells});
        }
        for (const QString &name : required)
            if (!columns_.contains(name))
                throw error(headerLine_, QStringLiteral("見出しに列「%1」がありません").arg(name));
    }

    const QList<Row> &rows() const { return rows_; }
    TableError error(int line, const QString &what) const {
        return TableError(QStringLiteral("%1:%2: %3").arg(file_).arg(line).arg(what));
    }
    QString cell(const Row &row, const QString &column) const {
        return row.cells[columns_.indexOf(column)];
    }
    QString required(const Row &row, const QString &column) const {
        const QString text = cell(row, column);
        if (text.isEmpty())
            throw error(row.line, QStringLiteral("「%1」が空です").arg(column));
        return text;
    }
    int number(const Row &row, const QString &column, int low, int high) const {
        bool ok = false;
        const QString text = required(row, column);
        const int value = text.toInt(&ok);
        if (!ok || value < low || value > high)
            throw error(row.line, QStringLiteral("「%1」の %2 は %3..%4 の整数ではありません")
                                      .arg(column, quoted(text))
                                      .arg(low)
                                      .arg(high));
        return value;
    }
    // Rows must be numbered 1, 2, 3, … in order, and there must be exactly `count` of them.
    void checkNumbering(const QString &column, int count) const {
        for (int i = 0; i < rows_.size(); ++i) {
            const QString text = cell(rows_[i], column);
            if (text != QString::number(i + 1))
                throw error(rows_[i].line, QStringLiteral("「%1」は %2 のはずですが %3 です")
                                               .arg(column)
                                               .arg(i + 1)
                                               .arg(quoted(text)));
        }
        if (rows_.size() != count)
            throw TableError(QStringLiteral("%1: 行が %2 行あります。%3 行必要です")
                                 .arg(file_)
                                 .arg(rows_.size())
                                 .arg(count));
    }

private:
    QString file_;
    int headerLine_ = 0;
    QStringList columns_;
    QList<Row> rows_;
};

// Edits (insertions, deletions, replacements) that turn one name into another.
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

template <class NameOf>
int numberByName(const RawTable &t, const Row &row, const QString &column, int count, NameOf nameOf,
                 const QString &table) {
    const QString name = t.required(row, column);
    int closest = 0, closestDistance = 0;
    for (int n = 1; n <= count; ++n) {
        if (nameOf(n) == name)
            return n;
        const int distance = editDistance(name.left(40), nameOf(n));
        if (closest == 0 || distance < closestDistance) {
            closest = n;
            closestDistance = distance;
        }
    }
    // A name one or two characters off is most likely a slip of the keyboard.
    const QString guess = closestDistance <= qMax(2, nameOf(closest).size() / 2)
                              ? QStringLiteral("%1 のまちがいですか？").arg(nameOf(closest))
                              : QStringLiteral("名前は%1と同じに書きます").arg(table);
    throw t.error(row.line, QStringLiteral("「%1」の %2 は%3にない名前です。%4")
                                .arg(column, quoted(name), table, guess));
}

void checkFormula(const RawTable &t, const Row &row, const QString &formula) {
    try {
        atomsOf(formula);
    } catch (const FormulaError &e) {
        throw t.error(row.line, QString::fromStdString(e.what()));
    }
}

void checkApparatus(const RawTable &t, const Row &row, int n, const QList<int> &drawn) {
    if (!drawn.contains(n))
        throw t.error(row.line, QStringLiteral("装置図 %1 は描かれていません").arg(n));
}

// The reagents' formulas, by number from 1 (a solution by its solute: 希硫酸 is H2SO4).
QStringList loadReagents(const QString &path) {
    const RawTable t(path,
                     {QStringLiteral("番号"), QStringLiteral("薬品"), QStringLiteral("化学式")});
    t.checkNumbering(QStringLiteral("番号"), ReagentCount);
    for (int i = 0; i < t.rows().size(); ++i) {
        const Row &row = t.rows()[i];
        const QString name = t.required(row, QStringLiteral("薬品"));
        if (name != reagentName(i + 1))
            throw t.error(row.line,
                          QStringLiteral("薬品 %1 の名前はプログラムでは「%2」です（表では「%3」）")
                              .arg(i + 1)
                              .arg(reagentName(i + 1), name));
        checkFormula(t, row, t.required(row, QStringLiteral("化学式")));
    }
    QStringList formulas{QString()};
    for (const Row &row : t.rows())
        formulas << t.cell(row, QStringLiteral("化学式"));
    return formulas;
}

std::optional<QColor> parseSwatch(const RawTable &t, const Row &row) {
    const QString text = t.cell(row, QStringLiteral("色見本"));
    if (text.isEmpty())
        return std::nullopt;
    const QStringList parts = text.split(QLatin1Char(','));
    int rgb[3] = {};
    bool good = parts.size() == 3;
    for (int k = 0; good && k < 3; ++k) {
        rgb[k] = parts[k].trimmed().toInt(&good);
        good = good && rgb[k] >= 0 && rgb[k] <= 255;
    }
    if (!good)
        throw t.error(
            row.line,
            QStringLiteral("色見本 %1 は R,G,B（各 0..255）ではありません").arg(quoted(text)));
    return QColor(rgb[0], rgb[1], rgb[2]);
}

int collectionByName(const RawTable &t, const Row &row) {
    const QString name = t.required(row, QStringLiteral("捕集"));
    const int n = CollectionNames.indexOf(name) + 1;
    if (n == 0)
        throw t.error(row.line, QStringLiteral("捕集 %1 は %2 のどれでもありません")
                                    .arg(quoted(name), CollectionNames.join(QStringLiteral("・"))));
    return n;
}

QList<GasRow> loadGases(const QString &path, const QList<int> &drawn) {
    const RawTable t(
        path,
        {QStringLiteral("番号"), QStringLiteral("気体"), QStringLiteral("化学式"),
         QStringLiteral("装置図"), QStringLiteral("捕集"), QStringLiteral("捕集の補足"),
         QStringLiteral("色・におい"), QStringLiteral("色見本"), QStringLiteral("水への溶け方"),
         QStringLiteral("空気との比較"), QStringLiteral("乾燥剤"), QStringLiteral("検出"),
         QStringLiteral("性質"), QStringLiteral("毒性"), QStringLiteral("注意")});
    t.checkNumbering(QStringLiteral("番号"), GasCount);
    QList<GasRow> gases;
    for (int i = 0; i < t.rows().size(); ++i) {
        const Row &row = t.rows()[i];
        GasRow g;
        g.line = row.line;
        g.number = i + 1;
        const QString name = t.required(row, QStringLiteral("気体"));
        if (name != gasName(g.number))
            throw t.error(row.line,
                          QStringLiteral("気体 %1 の名前はプログラムでは「%2」です（表では「%3」）")
                              .arg(g.number)
                              .arg(gasName(g.number), name));
        g.formula = t.required(row, QStringLiteral("化学式"));
        checkFormula(t, row, g.formula);
        g.apparatus = t.number(row, QStringLiteral("装置図"), 1, 32767);
        checkApparatus(t, row, g.apparatus, drawn);
        g.collection = collectionByName(t, row);
        g.collectionNote = t.cell(row, QStringLiteral("捕集の補足"));
        g.colourOdour = t.required(row, QStringLiteral("色・におい"));
        g.swatch = parseSwatch(t, row);
        g.water = t.required(row, QStringLiteral("水への溶け方"));
        g.air = t.required(row, QStringLiteral("空気との比較"));
        g.drying = t.required(row, QStringLiteral("乾燥剤"));
        g.test = t.required(row, QStringLiteral("検出"));
        g.notes = t.cell(row, QStringLiteral("性質"));
        g.toxicity = t.cell(row, QStringLiteral("毒性"));
        if (!g.toxicity.isEmpty() && g.toxicity != QStringLiteral("有毒") &&
            g.toxicity != QStringLiteral("猛毒"))
            throw t.error(row.line,
                          QStringLiteral("毒性 %1 は 有毒・猛毒・空欄 のどれでもありません")
                              .arg(quoted(g.toxicity)));
        g.caution = t.cell(row, QStringLiteral("注意"));
        gases.append(g);
    }
    return gases;
}

// Chemistry a pupil would learn wrongly: a set-up drawing that shows other answers than the
// question's, and an equation that does not start from the question's reagents (each by its
// formula on the left, or over or under the arrow, as a catalyst or a dehydrating agent is).
void checkChemistry(const RawTable &t, const Row &row, const QuestionRow &q,
                    const QStringList &reagentFormulas) {
    const SetupAnswers shown = setupAnswers(q.apparatus);
    if (shown.generator != q.generator || shown.collection != q.collection)
        throw t.error(row.line,
                      QStringLiteral("問題 %1: 装置図 %2 は発生装置 %3・%4 の図ですが、問題の答えは"
                                     "発生装置 %5・%6 です。答えに合う装置図を選んでください")
                          .arg(q.number)
                          .arg(q.apparatus)
                          .arg(shown.generator)
                          .arg(collectionName(shown.collection))
                          .arg(q.generator)
                          .arg(collectionName(q.collection)));
    const Equation eq = parseEquation(q.equation);
    for (const int reagent : {q.reagent1, q.reagent2}) {
        const QString formula = reagentFormulas.value(reagent);
        bool used = q.overArrow.contains(formula) || q.underArrow.contains(formula);
        for (const Term &term : eq.left)
            used = used || term.formula == formula;
        if (!used)
            throw t.error(row.line,
                          QStringLiteral("問題 %1: 反応式の左辺（または矢印の上下）に薬品「%2」の"
                                         "化学式 %3 がありません。問題の薬品から始まる反応式に"
                                         "してください")
                              .arg(q.number)
                              .arg(reagentName(reagent), formula));
    }
}

QList<QuestionRow> loadQuestions(const QString &path, const QList<GasRow> &gases,
                                 const QList<int> &drawn, const QStringList &reagentFormulas) {
    const RawTable t(path, {QStringLiteral("番号"), QStringLiteral("気体"), QStringLiteral("薬品1"),
                            QStringLiteral("薬品2"), QStringLiteral("発生装置"),
                            QStringLiteral("捕集"), QStringLiteral("装置図"),
                            QStringLiteral("反応式"), QStringLiteral("矢印の上"),
                            QStringLiteral("矢印の下"), QStringLiteral("理由")});
    t.checkNumbering(QStringLiteral("番号"), MaxQuestions);
    QList<QuestionRow> questions;
    for (int i = 0; i < t.rows().size(); ++i) {
        const Row &row = t.rows()[i];
        QuestionRow q;
        q.line = row.line;
        q.number = i + 1;
        q.gas = numberByName(t, row, QStringLiteral("気体"), GasCount, gasName,
                             QStringLiteral("気体表"));
        q.reagent1 = numberByName(t, row, QStringLiteral("薬品1"), ReagentCount, reagentName,
                                  QStringLiteral("薬品表"));
        q.reagent2 = numberByName(t, row, QStringLiteral("薬品2"), ReagentCount, reagentName,
                                  QStringLiteral("薬品表"));
        q.generator = t.number(row, QStringLiteral("発生装置"), 1, GeneratorCount);
        q.collection = collectionByName(t, row);
        q.apparatus = t.number(row, QStringLiteral("装置図"), 1, 32767);
        checkApparatus(t, row, q.apparatus, drawn);
        // Full-width digits, letters and ＋, and subscript digits, as their plain forms: what a
        // Japanese input method types.
        q.equation =
            t.required(row, QStringLiteral("反応式")).normalized(QString::NormalizationForm_KC);
        q.overArrow = t.cell(row, QStringLiteral("矢印の上"));
        q.underArrow = t.cell(row, QStringLiteral("矢印の下"));
        q.reasons = t.required(row, QStringLiteral("理由"));

        const GasRow &gas = gases[q.gas - 1];
        if (q.collection != gas.collection)
            throw t.error(row.line, QStringLiteral("捕集が%1ですが、気体表では%2の捕集は%3です")
                                        .arg(collectionName(q.collection), gasName(q.gas),
                                             collectionName(gas.collection)));
        try {
            const Equation eq = parseEquation(q.equation);
            const QStringList off = imbalance(eq);
            if (!off.isEmpty())
                throw t.error(row.line,
                              QStringLiteral("反応式 %1 の原子の数がつり合いません（%2）")
                                  .arg(quoted(q.equation), off.join(QStringLiteral("、"))));
            bool made = false;
            for (const Term &term : eq.right)
                made = made || term.formula == gas.formula;
            if (!made)
                throw t.error(row.line, QStringLiteral("反応式 %1 の右辺に%2（%3）がありません")
                                            .arg(quoted(q.equation), gasName(q.gas), gas.formula));
        } catch (const FormulaError &e) {
            throw t.error(row.line, QString::fromStdString(e.what()));
        }
        checkChemistry(t, row, q, reagentFormulas);
        questions.append(q);
    }
    for (const GasRow &g : gases) {
        bool asked = false;
        for (const QuestionRow &q : questions)
            asked = asked || q.gas == g.number;
        if (!asked)
            throw TableError(QStringLiteral("questions.tsv: %1 の問題が一つもありません")
                                 .arg(gasName(g.number)));
    }
    return questions;
}

} // namespace

QString collectionName(int collection) {
    return CollectionNames.value(collection - 1);
}

// A preparation asked twice, or a question whose two reagents are one: the quiz shows a single
// highlighted reagent under a prompt about a pair.
QStringList questionWarnings(const QList<QuestionRow> &questions) {
    QStringList warnings;
    for (const QuestionRow &q : questions) {
        const QString where =
            QStringLiteral("questions.tsv:%1: 注意: 問題 %2").arg(q.line).arg(q.number);
        if (q.reagent1 == q.reagent2)
            warnings << QStringLiteral("%1 は同じ薬品「%2」を二つ使っています。問題の画面では薬品が"
                                       "一つしか光りません")
                            .arg(where, reagentName(q.reagent1));
        for (const QuestionRow &earlier : questions) {
            if (earlier.number >= q.number)
                break;
            const bool samePair =
                (earlier.reagent1 == q.reagent1 && earlier.reagent2 == q.reagent2) ||
                (earlier.reagent1 == q.reagent2 && earlier.reagent2 == q.reagent1);
            if (samePair && earlier.gas == q.gas)
                warnings << QStringLiteral("%1 は問題 %2 と同じ作り方です（%3と%4から%5）")
                                .arg(where)
                                .arg(earlier.number)
                                .arg(reagentName(q.reagent1), reagentName(q.reagent2),
                                     gasName(q.gas));
        }
    }
    return warnings;
}

Tables loadTables(const QString &materialDir, const QList<int> &apparatusNumbers) {
    const QStringList reagentFormulas = loadReagents(materialDir + QStringLiteral("/reagents.tsv"));
    Tables tables;
    tables.gases = loadGases(materialDir + QStringLiteral("/gases.tsv"), apparatusNumbers);
    tables.questions = loadQuestions(materialDir + QStringLiteral("/questions.tsv"), tables.gases,
                                     apparatusNumbers, reagentFormulas);
    tables.warnings = questionWarnings(tables.questions);
    return tables;
}

} // namespace vaporica::material
