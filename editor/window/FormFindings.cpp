#include "FormFindings.h"

#include "EquationPicture.h"
#include "Typeset.h"

namespace vaporica::editor {

using material::Finding;
using material::Severity;

namespace {

const QString ErrorColour = QStringLiteral("#b00020");
const QString WarningColour = QStringLiteral("#8a5300");

QString colour(const QString &name) {
    return QStringLiteral("color: %1").arg(name);
}

// Shown below the form: the tables' own findings and those of no one field, and the errors of
// the other questions.
bool shownBelow(const Finding &f, int question) {
    const bool ofNoField = fieldOf(f) == Field::None;
    return (f.question != question || ofNoField) &&
           (f.question == 0 || ofNoField || f.severity == Severity::Error);
}

} // namespace

QLabel *FormFindings::makeFieldLabel(Field field) {
    auto *label = new QLabel;
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAccessibleName(QStringLiteral("%1の確認").arg(columnOf(field)));
    label->hide();
    fields_[field] = label;
    return label;
}

QLabel *FormFindings::makeRoomLabel() {
    room_ = new QLabel;
    room_->setAccessibleName(QStringLiteral("理由の残りの幅"));
    return room_;
}

QLabel *FormFindings::makeOthersLabel() {
    others_ = new QLabel;
    others_->setWordWrap(true);
    others_->setAccessibleName(QStringLiteral("表全体の確認"));
    return others_;
}

void FormFindings::show(const QuestionEditor &editor, int question, const QString &reasons) {
    for (auto it = fields_.begin(); it != fields_.end(); ++it)
        showField(it.value(), editor.findingsOf(question, it.key()));
    showOthers(editor.findings(), question);
    showRoom(reasons);
}

void FormFindings::showField(QLabel *label, const QList<Finding> &findings) {
    QStringList lines;
    bool error = false;
    for (const Finding &f : findings) {
        lines << material::reportLine(f);
        error = error || f.severity == Severity::Error;
    }
    label->setText(lines.join(QLatin1Char('\n')));
    label->setStyleSheet(colour(error ? ErrorColour : WarningColour));
    label->setVisible(!lines.isEmpty());
}

void FormFindings::showOthers(const QList<Finding> &findings, int question) {
    QStringList lines;
    for (const Finding &f : findings)
        if (shownBelow(f, question))
            lines << material::reportLine(f);
    others_->setText(lines.join(QLatin1Char('\n')));
    others_->setStyleSheet(colour(ErrorColour));
}

void FormFindings::showRoom(const QString &reasons) {
    const qreal width = material::chemicalWidth(reasons, material::reasonsFont());
    const int room = int(material::reasonsBox().width() - width);
    room_->setText(room >= 0 ? QStringLiteral("理由の行: あと %1 px 入ります").arg(room)
                             : QStringLiteral("理由の行: %1 px はみ出しています").arg(-room));
    room_->setStyleSheet(room >= 0 ? QString() : colour(ErrorColour));
}

} // namespace vaporica::editor
