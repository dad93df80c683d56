#pragma once

// What the checks of the teacher's tables and of a data directory find: a list a tool prints and
// an editor can show beside the field, never a message printed or an exit on the way.

#include <QList>
#include <QString>
#include <algorithm>

namespace vaporica::material {

enum class Severity {
    Error,   // the data would teach something wrong or could not be made
    Warning, // printed, not fatal: unusual, and the teacher should look
};

struct Finding {
    Severity severity = Severity::Error;
    int question = 0; // 1..20, or 0 when the finding is about no one question
    QString file;     // as the teacher knows it: "questions.tsv", "説明/mondai.txt"
    int line = 0;     // 1-based; 0 for the whole file
    QString message;  // what is wrong and what to do, without the place
};

// 「問題 3（questions.tsv 14 行目）」, 「gases.tsv 5 行目」 or 「reagents.tsv」.
inline QString placeOf(const Finding &f) {
    const QString line = f.line > 0 ? QStringLiteral("%1 %2 行目").arg(f.file).arg(f.line) : f.file;
    return f.question > 0 ? QStringLiteral("問題 %1（%2）").arg(f.question).arg(line) : line;
}

// The finding as one line of a report: 「エラー: 問題 3（questions.tsv 14 行目）: …」.
inline QString reportLine(const Finding &f) {
    return QStringLiteral("%1: %2: %3")
        .arg(f.severity == Severity::Error ? QStringLiteral("エラー") : QStringLiteral("注意"),
             placeOf(f), f.message);
}

inline qsizetype errorCount(const QList<Finding> &findings) {
    return std::count_if(findings.begin(), findings.end(),
                         [](const Finding &f) { return f.severity == Severity::Error; });
}

} // namespace vaporica::material
