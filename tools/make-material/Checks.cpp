#include "Checks.h"

#include "ApparatusArt.h"
#include "Formula.h"
#include "base/Names.h"
#include "base/SharedVariables.h"

#include <QRegularExpression>
#include <QSet>
#include <utility>

namespace vaporica::material {

namespace {

const QString Plus = QStringLiteral("＋");

class Collector {
public:
    Collector(QList<Finding> &out, QString file) : out_(out), file_(std::move(file)) {}
    void error(const QuestionRow &q, const QString &message) {
        out_.append({Severity::Error, q.number, file_, q.line, message});
    }
    void warning(const QuestionRow &q, const QString &message) {
        out_.append({Severity::Warning, q.number, file_, q.line, message});
    }

private:
    QList<Finding> &out_;
    QString file_;
};

// Every check but the equation's own form needs the question's gas and reagents.
bool known(const QuestionRow &q) {
    return q.gas > 0 && q.reagent1 > 0 && q.reagent2 > 0;
}

QString generatorsText(const QList<int> &numbers) {
    QStringList parts;
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(QStringLiteral(" か "));
}

QString statesText(bool liquid1, bool liquid2, bool heated) {
    const QString what = liquid1 && liquid2     ? QStringLiteral("液体")
                         : !liquid1 && !liquid2 ? QStringLiteral("固体")
                                                : QStringLiteral("固体＋液体");
    return heated ? what + QStringLiteral("を加熱") : what + QStringLiteral("・加熱なし");
}

// The formulas written over and under the arrow ("MnO2", "濃H2SO4" → "H2SO4"): a catalyst or a
// reagent that only takes part is written there.
QStringList conditionFormulas(const QuestionRow &q) {
    static const QRegularExpression formula(QStringLiteral("[A-Z][A-Za-z0-9()·]*"));
    QStringList found;
    for (const QString &text : {q.overArrow, q.underArrow})
        for (auto it = formula.globalMatch(asHalfWidth(text)); it.hasNext();)
            found << it.next().captured();
    return found;
}

void checkEquation(Collector &report, const QuestionRow &q, const Tables &t) {
    Equation eq;
    try {
        eq = parseEquation(q.equation);
    } catch (const FormulaError &e) {
        report.error(q, QStringLiteral("反応式 %1").arg(QString::fromStdString(e.what())));
        return;
    }
    try {
        const QStringList off = imbalance(eq);
        if (!off.isEmpty())
            report.error(q, QStringLiteral("反応式 %1 の原子の数がつり合いません（%2）")
                                .arg(quoted(q.equation), off.join(QStringLiteral("、"))));
    } catch (const FormulaError &e) {
        report.error(q, QStringLiteral("反応式 %1").arg(QString::fromStdString(e.what())));
    }
    const QString gasFormula = t.gases.value(q.gas - 1).formula;
    const auto holds = [](const QList<Term> &terms, const QString &formula) {
        for (const Term &term : terms)
            if (term.formula == formula)
                return true;
        return false;
    };
    if (!gasFormula.isEmpty() && !holds(eq.right, gasFormula))
        report.error(q, QStringLiteral("反応式 %1 の右辺に%2（%3）がありません")
                            .arg(quoted(q.equation), gasName(q.gas), gasFormula));
    const QStringList conditions = conditionFormulas(q);
    QStringList missing;
    QSet<int> seen;
    for (int r : {q.reagent1, q.reagent2}) {
        const QString formula = t.reagents.value(r - 1).formula;
        if (seen.contains(r) || formula.isEmpty())
            continue;
        seen.insert(r);
        if (!holds(eq.left, formula) && !conditions.contains(formula))
            missing << QStringLiteral("%1（%2）").arg(reagentName(r), formula);
    }
    if (!missing.isEmpty())
        report.error(q, QStringLiteral("反応式 %1 の左辺に%2がありません（触媒のように反応式に"
                                       "出ない薬品は、矢印の上か下に化学式を書きます）")
                            .arg(quoted(q.equation), missing.join(QStringLiteral("・"))));
}

// The answers drawing n shows; nothing for a number with no drawing (0: not known).
std::optional<SetupAnswers> answersOf(int n) {
    if (!setupNumbers().contains(n))
        return std::nullopt;
    return setupAnswers(n);
}

void checkApparatus(Collector &report, const QuestionRow &q) {
    const std::optional<SetupAnswers> parts = answersOf(q.apparatus);
    if (!parts || q.generator == 0 || q.collection == 0)
        return;
    if (parts->generator != q.generator || parts->collection != q.collection)
        report.error(q, QStringLiteral("装置図 %1 は発生装置 %2・%3の図ですが、この問題は発生装置 "
                                       "%4・%5です。装置図の番号を直してください")
                            .arg(q.apparatus)
                            .arg(parts->generator)
                            .arg(collectionName(parts->collection))
                            .arg(q.generator)
                            .arg(collectionName(q.collection)));
}

void checkGenerator(Collector &report, const QuestionRow &q, const Tables &t) {
    const State state1 = t.reagents.value(q.reagent1 - 1).state;
    const State state2 = t.reagents.value(q.reagent2 - 1).state;
    if (q.generator == 0 || q.equation.isEmpty() || state1 == State::Unknown ||
        state2 == State::Unknown)
        return;
    const bool liquid1 = state1 == State::Liquid;
    const bool liquid2 = state2 == State::Liquid;
    const bool heated = isHeated(q);
    const QList<int> fitting = fittingGenerators(liquid1, liquid2, heated);
    if (fitting.contains(q.generator))
        return;
    const QString states = statesText(liquid1, liquid2, heated);
    report.warning(q, fitting.isEmpty()
                          ? QStringLiteral("発生装置が %1 ですが、%2 に合う発生装置はありません"
                                           "（加熱するなら矢印の上か下に「加熱」と書きます）")
                                .arg(q.generator)
                                .arg(states)
                          : QStringLiteral("発生装置が %1 ですが、薬品は %2 なので %3 のはずです"
                                           "（加熱するなら矢印の上か下に「加熱」と書きます）")
                                .arg(q.generator)
                                .arg(states, generatorsText(fitting)));
}

// What a text calls acceptable: "（水上置換も可）", "丸底フラスコでも可", "水上置換でもよい".
QStringList calledAcceptable(const QString &text) {
    static const QRegularExpression also(QStringLiteral(
        "(下方置換|上方置換|水上置換|三角フラスコ|丸底フラスコ|試験管)\\s*(?:で)?も\\s*"
        "(?:可|よい|良い|かまわない)"));
    QStringList names;
    for (auto it = also.globalMatch(text); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

const QString OneAnswer =
    QStringLiteral("ドリルは一つの答えしか正解にしないので、別の答えを認める"
                   "ように書かず、その答えがふつうである理由を書いてください");

// A card or page that allows an answer the drill marks wrong makes a pupil distrust both.
void checkOneAnswer(Collector &report, const QuestionRow &q) {
    for (const QString &text : QStringList{q.reasons} + q.cautions)
        for (const QString &name : calledAcceptable(text)) {
            const bool collection = name.endsWith(QStringLiteral("置換"));
            if ((collection ? q.collection : q.generator) == 0)
                continue; // not known: reported with its cell
            const QString answer =
                collection ? collectionName(q.collection) : vesselWord(q.generator);
            if (name != answer)
                report.error(q, QStringLiteral("%1 を「可」としていますが、この問題の正解は %2 "
                                               "だけです。%3")
                                    .arg(name, answer, OneAnswer));
        }
}

} // namespace

QList<int> fittingGenerators(bool liquid1, bool liquid2, bool heated) {
    const bool liquid = liquid1 || liquid2;
    const bool solid = !liquid1 || !liquid2;
    if (!heated)
        return liquid ? QList<int>{1} : QList<int>{};
    if (solid && liquid)
        return {4};
    return liquid ? QList<int>{2, 4} : QList<int>{3};
}

bool isHeated(const QuestionRow &q) {
    for (const QString &text : {q.overArrow, q.underArrow})
        if (text.contains(QStringLiteral("加熱")) || text.contains(QStringLiteral("℃")) ||
            text.contains(QStringLiteral("°C")))
            return true;
    return false;
}

QList<Finding> checkChemistry(const Tables &t, const CheckedFiles &files) {
    QList<Finding> findings;
    Collector report(findings, files.questions);
    QList<const QuestionRow *> earlier;
    for (const QuestionRow &q : t.questions) {
        if (!q.equation.isEmpty())
            checkEquation(report, q, t);
        if (!known(q))
            continue;
        const GasRow &gas = t.gases.value(q.gas - 1);
        if (q.collection != 0 && gas.collection != 0 && q.collection != gas.collection)
            report.error(q, QStringLiteral("捕集が%1ですが、気体表では%2の捕集は%3です")
                                .arg(collectionName(q.collection), gasName(q.gas),
                                     collectionName(gas.collection)));
        checkApparatus(report, q);
        checkGenerator(report, q, t);
        checkOneAnswer(report, q);
        if (q.reagent1 == q.reagent2)
            report.warning(q, QStringLiteral("薬品1 と 薬品2 がどちらも %1 です（問題の画面では"
                                             "薬品が一つしか光りません。一つの薬品だけを使う作り方"
                                             "なら、このままでかまいません）")
                                  .arg(reagentName(q.reagent1)));
        for (const QuestionRow *other : earlier)
            if (QSet<int>{other->reagent1, other->reagent2} == QSet<int>{q.reagent1, q.reagent2}) {
                report.warning(q, QStringLiteral("問題 %1 と同じ作り方（%2%3%4）です。同じ問題が"
                                                 "二つになります")
                                      .arg(other->number)
                                      .arg(reagentName(q.reagent1), Plus, reagentName(q.reagent2)));
                break;
            }
        earlier << &q;
    }

    for (const GasRow &g : t.gases) {
        for (const QString &text : {g.collectionNote, g.colourOdour, g.water, g.air, g.drying,
                                    g.test, g.notes, g.caution})
            for (const QString &name : calledAcceptable(text))
                if (name.endsWith(QStringLiteral("置換")) && g.collection != 0 &&
                    name != collectionName(g.collection))
                    findings.append({Severity::Error, 0, files.gases, g.line,
                                     QStringLiteral("%1の性質の画像が %2 を「可」としていますが、"
                                                    "%1の問題の正解は %3 だけです。%4")
                                         .arg(gasName(g.number), name, collectionName(g.collection),
                                              OneAnswer)});
        const std::optional<SetupAnswers> parts = answersOf(g.apparatus);
        if (parts && g.collection != 0 && parts->collection != g.collection)
            findings.append(
                {Severity::Error, 0, files.gases, g.line,
                 QStringLiteral("%1の装置図 %2 は%3の図ですが、%1の捕集は%4です")
                     .arg(gasName(g.number))
                     .arg(g.apparatus)
                     .arg(collectionName(parts->collection), collectionName(g.collection))});
    }
    // A gas no question asks for, only when every question's gas is known: a misspelt gas would
    // otherwise be reported twice.
    bool everyGasKnown = t.questions.size() == MaxQuestions;
    QSet<int> asked;
    for (const QuestionRow &q : t.questions) {
        everyGasKnown = everyGasKnown && q.gas > 0;
        asked.insert(q.gas);
    }
    if (everyGasKnown)
        for (const GasRow &g : t.gases)
            if (!asked.contains(g.number))
                findings.append({Severity::Error, 0, files.questions, 0,
                                 QStringLiteral("%1 の問題が一つもありません。どの気体も一問は"
                                                "必要です")
                                     .arg(gasName(g.number))});
    return findings;
}

} // namespace vaporica::material
