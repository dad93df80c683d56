#pragma once

// Chemical equations as the question table writes them: "2KClO3 → 2KCl + 3O2", hydrates with a
// middle dot ("CaCl(ClO)·H2O"). Header-only so that the balance test counts atoms with exactly the
// parser the generator draws from.

#include <QMap>
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

struct Term {
    int coefficient = 1;
    QString formula; // without the coefficient
};

struct Equation {
    QList<Term> left, right;
};

namespace detail {

inline int readNumber(const QString &s, qsizetype &i, int absent) {
    if (i >= s.size() || !s[i].isDigit())
        return absent;
    int value = 0;
    while (i < s.size() && s[i].isDigit())
        value = value * 10 + s[i++].digitValue();
    return value;
}

// One part between hydrate dots, up to a closing parenthesis or the end.
inline AtomCount readGroup(const QString &s, qsizetype &i, int depth, const QString &whole) {
    AtomCount atoms;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == QLatin1Char('(')) {
            ++i;
            const AtomCount inner = readGroup(s, i, depth + 1, whole);
            if (i >= s.size() || s[i] != QLatin1Char(')'))
                throw FormulaError(QStringLiteral("\"%1\": 閉じ括弧がありません").arg(whole));
            ++i;
            const int n = readNumber(s, i, 1);
            for (auto it = inner.begin(); it != inner.end(); ++it)
                atoms[it.key()] += it.value() * n;
        } else if (c == QLatin1Char(')')) {
            if (depth == 0)
                throw FormulaError(QStringLiteral("\"%1\": 余分な閉じ括弧があります").arg(whole));
            return atoms;
        } else if (c.isUpper() && c.unicode() < 128) {
            QString element(c);
            ++i;
            if (i < s.size() && s[i].isLower() && s[i].unicode() < 128)
                element += s[i++];
            atoms[element] += readNumber(s, i, 1);
        } else {
            throw FormulaError(
                QStringLiteral("\"%1\": 化学式に使えない文字 '%2' があります").arg(whole, c));
        }
    }
    if (depth > 0)
        throw FormulaError(QStringLiteral("\"%1\": 閉じ括弧がありません").arg(whole));
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
        const int n = detail::readNumber(part, i, 1);
        if (i >= part.size())
            throw FormulaError(QStringLiteral("\"%1\": 化学式が欠けています").arg(formula));
        const AtomCount partAtoms = detail::readGroup(part, i, 0, formula);
        for (auto it = partAtoms.begin(); it != partAtoms.end(); ++it)
            atoms[it.key()] += it.value() * n;
    }
    return atoms;
}

inline Term parseTerm(const QString &text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    Term term;
    term.coefficient = detail::readNumber(t, i, 1);
    if (term.coefficient < 1)
        throw FormulaError(QStringLiteral("\"%1\": 係数が 0 です").arg(t));
    term.formula = t.mid(i);
    atomsOf(term.formula); // rejects what is no formula
    return term;
}

inline Equation parseEquation(const QString &text) {
    const QStringList sides = text.split(Arrow);
    if (sides.size() != 2)
        throw FormulaError(QStringLiteral("\"%1\": 矢印 → がちょうど一つ必要です").arg(text));
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
            atoms[it.key()] += it.value() * t.coefficient;
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
