#pragma once

// Chemical equations as the question table writes them: "2KClO3 → 2KCl + 3O2", hydrates with a
// middle dot ("CaCl(ClO)·H2O"). Header-only so that the balance test counts atoms with exactly the
// parser the generator draws from.

#include <QMap>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace vaporica::material {

inline const QString Arrow = QStringLiteral("→");
inline const QChar HydrateDot = QChar(0x00B7);

class FormulaError : public std::runtime_error {
public:
    explicit FormulaError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

using AtomCount = QMap<QString, int>;

// What a school equation can hold: coefficients and subscripts up to 99, parentheses four deep,
// and no more than 9999 atoms of one element on a side. Beyond these a number would overflow
// (4294967297Zn counted as one zinc) or the parser would recurse until the stack runs out.
inline constexpr int MaxCount = 99;
inline constexpr int MaxDepth = 4;
inline constexpr qint64 MaxAtoms = 9999;

// A piece of a teacher's cell as a message shows it: at most 40 characters.
inline QString shortened(const QString &text) {
    constexpr qsizetype shown = 40;
    return text.size() > shown ? text.left(shown) + QStringLiteral("…") : text;
}
inline QString quoted(const QString &text) {
    return QLatin1Char('"') + shortened(text) + QLatin1Char('"');
}

// Full-width digits and Latin letters as their plain forms (ＭｎＯ２ → MnO2), everything else as it
// is: for text that holds formulas among words, such as the conditions over an arrow (160～170℃
// keeps its wave dash and degree sign).
inline QString plainDigitsAndLetters(const QString &text) {
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if ((u >= 0xFF10 && u <= 0xFF19) || (u >= 0xFF21 && u <= 0xFF3A) ||
            (u >= 0xFF41 && u <= 0xFF5A))
            c = QChar(u - 0xFEE0);
    }
    return out;
}

// What a teacher types on a Japanese keyboard for the characters of a formula, number or list of
// numbers: full-width digits, letters, brackets, commas and ＋, subscript digits (NFKC gives their
// plain forms), the katakana middle dot for the hydrate dot, and an arrow built of a dash and '>'
// (->, ー>, －＞, =>) or ⇒. Taken as what they stand for, so the picture shows the formula as it
// should be.
inline QString asHalfWidth(const QString &text) {
    QString out = text.normalized(QString::NormalizationForm_KC);
    out.replace(QChar(0x30FB), QChar(0x00B7)); // ・ (NFKC also turns the half-width ･ into it)
    static const QRegularExpression typedArrow(
        QStringLiteral(R"([-\x{2010}-\x{2015}\x{2212}\x{30FC}=]+\s*>|\x{21D2})"));
    return out.replace(typedArrow, QStringLiteral("→"));
}

// The dashes and bars a teacher may type meaning the arrow.
inline bool looksLikeArrow(QChar c) {
    return QStringLiteral("-‐‑‒–—―−ー－=＝").contains(c);
}

// What a character that has no place in a formula is, as a teacher would recognise it.
inline QString unusableCharacter(QChar c) {
    if (c.isSpace())
        return QStringLiteral("化学式の中に空白があります（化学式どうしは + でつなぎます）");
    return QStringLiteral("化学式に使えない文字「%1」（U+%2）があります%3")
        .arg(c)
        .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')))
        .arg(looksLikeArrow(c) ? QStringLiteral("。矢印は → と書きます") : QString());
}

struct Term {
    int coefficient = 1;
    QString formula; // without the coefficient
};

struct Equation {
    QList<Term> left, right;
};

namespace detail {

inline int readNumber(const QString &s, qsizetype &i, int absent, const QString &whole) {
    if (i >= s.size() || !s[i].isDigit())
        return absent;
    qint64 value = 0;
    while (i < s.size() && s[i].isDigit()) {
        value = value * 10 + s[i++].digitValue();
        if (value > MaxCount)
            throw FormulaError(QStringLiteral("%1: 係数や添字が大きすぎます（%2 までです）")
                                   .arg(quoted(whole))
                                   .arg(MaxCount));
    }
    return int(value);
}

// Adds `count` atoms of `element`, refusing a total no school equation has.
inline void addAtoms(AtomCount &atoms, const QString &element, qint64 count, const QString &whole) {
    const qint64 total = atoms.value(element) + count;
    if (total > MaxAtoms)
        throw FormulaError(
            QStringLiteral("%1: %2 の原子の数が多すぎます").arg(quoted(whole), element));
    atoms[element] = int(total);
}

// One part between hydrate dots, up to a closing parenthesis or the end.
inline AtomCount readGroup(const QString &s, qsizetype &i, int depth, const QString &whole) {
    AtomCount atoms;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == QLatin1Char('(')) {
            if (depth >= MaxDepth)
                throw FormulaError(QStringLiteral("%1: 括弧が深すぎます（%2 重までです）")
                                       .arg(quoted(whole))
                                       .arg(MaxDepth));
            ++i;
            const AtomCount inner = readGroup(s, i, depth + 1, whole);
            if (i >= s.size() || s[i] != QLatin1Char(')'))
                throw FormulaError(QStringLiteral("%1: 閉じ括弧がありません").arg(quoted(whole)));
            ++i;
            const int n = readNumber(s, i, 1, whole);
            for (auto it = inner.begin(); it != inner.end(); ++it)
                addAtoms(atoms, it.key(), qint64(it.value()) * n, whole);
        } else if (c == QLatin1Char(')')) {
            if (depth == 0)
                throw FormulaError(
                    QStringLiteral("%1: 余分な閉じ括弧があります").arg(quoted(whole)));
            return atoms;
        } else if (c.isUpper() && c.unicode() < 128) {
            QString element(c);
            ++i;
            if (i < s.size() && s[i].isLower() && s[i].unicode() < 128)
                element += s[i++];
            addAtoms(atoms, element, readNumber(s, i, 1, whole), whole);
        } else {
            throw FormulaError(QStringLiteral("%1: %2").arg(quoted(whole), unusableCharacter(c)));
        }
    }
    if (depth > 0)
        throw FormulaError(QStringLiteral("%1: 閉じ括弧がありません").arg(quoted(whole)));
    return atoms;
}

} // namespace detail

// Atoms of one formula; each hydrate part may carry its own count ("CuSO4·5H2O").
inline AtomCount atomsOf(const QString &formula) {
    if (formula.isEmpty())
        throw FormulaError(QStringLiteral("空の化学式があります"));
    AtomCount atoms;
    for (const QString &part : formula.split(HydrateDot)) {
        qsizetype i = 0;
        const int n = detail::readNumber(part, i, 1, formula);
        if (i >= part.size())
            throw FormulaError(QStringLiteral("%1: 化学式が欠けています").arg(quoted(formula)));
        const AtomCount partAtoms = detail::readGroup(part, i, 0, formula);
        for (auto it = partAtoms.begin(); it != partAtoms.end(); ++it)
            detail::addAtoms(atoms, it.key(), qint64(it.value()) * n, formula);
    }
    return atoms;
}

inline Term parseTerm(const QString &text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    Term term;
    term.coefficient = detail::readNumber(t, i, 1, t);
    if (term.coefficient < 1)
        throw FormulaError(QStringLiteral("%1: 係数が 0 です").arg(quoted(t)));
    term.formula = t.mid(i);
    atomsOf(term.formula); // rejects what is no formula
    return term;
}

inline Equation parseEquation(const QString &text) {
    const QStringList sides = text.split(Arrow);
    if (sides.size() == 1)
        for (const QChar c : text)
            if (looksLikeArrow(c))
                throw FormulaError(
                    QStringLiteral("%1: 矢印 → がありません（「%2」は矢印になりません。→ と書き"
                                   "ます）")
                        .arg(quoted(text), c));
    if (sides.size() != 2)
        throw FormulaError(QStringLiteral("%1: 矢印 → がちょうど一つ必要です").arg(quoted(text)));
    Equation eq;
    for (int side = 0; side < 2; ++side) {
        QList<Term> &terms = side == 0 ? eq.left : eq.right;
        for (const QString &t : sides[side].split(QLatin1Char('+')))
            terms.append(parseTerm(t));
    }
    return eq;
}

inline AtomCount atomsOfSide(const QList<Term> &terms) {
    AtomCount atoms;
    for (const Term &t : terms) {
        const AtomCount a = atomsOf(t.formula);
        for (auto it = a.begin(); it != a.end(); ++it)
            detail::addAtoms(atoms, it.key(), qint64(it.value()) * t.coefficient, t.formula);
    }
    return atoms;
}

// Empty when balanced; otherwise one phrase per element that differs, e.g. "O: 左 6, 右 4".
inline QStringList imbalance(const Equation &eq) {
    const AtomCount left = atomsOfSide(eq.left);
    const AtomCount right = atomsOfSide(eq.right);
    QStringList differences;
    QStringList elements = left.keys() + right.keys();
    elements.removeDuplicates();
    elements.sort();
    for (const QString &e : elements)
        if (left.value(e) != right.value(e))
            differences
                << QStringLiteral("%1: 左 %2, 右 %3").arg(e).arg(left.value(e)).arg(right.value(e));
    return differences;
}

} // namespace vaporica::material
