#include "QuestionList.h"

#include <algorithm>

namespace vaporica::editor {

using material::Finding;
using material::Severity;

namespace {

bool hasError(const QuestionEditor &editor, int question) {
    return std::any_of(editor.findings().begin(), editor.findings().end(),
                       [question](const Finding &f) {
                           return f.question == question && f.severity == Severity::Error;
                       });
}

// What the row shows: 「＊3 水素　亜鉛＋希硫酸（エラー）」.
QString shownText(const QuestionEditor &editor, int q, bool changed, bool error) {
    return QStringLiteral("%1%2 %3　%4＋%5%6")
        .arg(changed ? QStringLiteral("＊") : QStringLiteral("　"))
        .arg(q)
        .arg(editor.cell(q, Field::Gas), editor.cell(q, Field::Reagent1),
             editor.cell(q, Field::Reagent2), error ? QStringLiteral("（エラー）") : QString());
}

// What a screen reader says of it, in words rather than marks.
QString spokenText(const QuestionEditor &editor, int q, bool changed, bool error) {
    return QStringLiteral("問題 %1、%2、%3と%4%5%6")
        .arg(q)
        .arg(editor.cell(q, Field::Gas), editor.cell(q, Field::Reagent1),
             editor.cell(q, Field::Reagent2), changed ? QStringLiteral("、変更あり") : QString(),
             error ? QStringLiteral("、エラーあり") : QString());
}

} // namespace

QuestionList::QuestionList(int questionCount) {
    setAccessibleName(QStringLiteral("問題の一覧"));
    setIconSize(QSize(160, 32));
    setMinimumWidth(360);
    for (int q = 1; q <= questionCount; ++q)
        addItem(QString());
}

void QuestionList::describe(const QuestionEditor &editor, int current) {
    for (int q = 1; q <= editor.questionCount(); ++q)
        describeRow(editor, q, q == current);
}

void QuestionList::describeRow(const QuestionEditor &editor, int q, bool redrawCard) {
    QListWidgetItem *row = item(q - 1);
    const bool changed = editor.differsFromShipped(q);
    const bool error = hasError(editor, q);
    row->setText(shownText(editor, q, changed, error));
    row->setData(Qt::AccessibleTextRole, spokenText(editor, q, changed, error));
    if (!redrawCard && !row->icon().isNull())
        return;
    if (const auto card = editor.equationCard(q))
        row->setIcon(QPixmap::fromImage(card->scaledToWidth(160, Qt::SmoothTransformation)));
}

} // namespace vaporica::editor
