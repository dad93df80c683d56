#pragma once

// The generator's findings as the question form shows them: under the field each concerns, in
// red for an error and brown for a warning; below the form those about other questions and the
// tables as a whole; and how much room the reasons line has left on the card.

#include "QuestionEditor.h"

#include <QLabel>
#include <QMap>

namespace vaporica::editor {

class FormFindings {
public:
    // The labels, made for the form to place: one under each field, one for the reasons line's
    // room, one for the rest.
    QLabel *makeFieldLabel(Field field);
    QLabel *makeRoomLabel();
    QLabel *makeOthersLabel();

    void show(const QuestionEditor &editor, int question, const QString &reasons);

private:
    void showField(QLabel *label, const QList<material::Finding> &findings);
    void showOthers(const QList<material::Finding> &findings, int question);
    void showRoom(const QString &reasons);

    QMap<Field, QLabel *> fields_;
    QLabel *room_ = nullptr, *others_ = nullptr;
};

} // namespace vaporica::editor
