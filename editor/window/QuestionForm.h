#pragma once

// The chosen question's cells in a form: the gas and reagents chosen from the program's names,
// the generator and collection from the pictures the pupils choose from, the set-up drawing, the
// equation and its words typed; each field with the generator's findings on it underneath.

#include "FormFindings.h"
#include "QuestionEditor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QWidget>

namespace vaporica::editor {

class QuestionForm : public QWidget {
    Q_OBJECT
public:
    QuestionForm();
    // Shows the question's cells; filling the fields is not an edit.
    void fill(const QuestionEditor &editor, int question);
    void showFindings(const QuestionEditor &editor, int question);
    // Where the tab key goes from the question list.
    QWidget *firstField() const { return gas_; }

signals:
    // A teacher's change to a field, in the words of its cell.
    void edited(Field field, const QString &value);

private:
    void addField(const QString &caption, Field field, QWidget *control);
    QComboBox *nameChoice(Field field, QString (*nameOf)(int), int count);
    QButtonGroup *addPictureChoice(Field field, int count, QImage (*picture)(int),
                                   const QString &word);
    void addDrawingChoice();
    QLineEdit *addLine(Field field, const QString &caption);
    void tell(Field field, const QString &value);

    QFormLayout *layout_ = nullptr;
    FormFindings findings_;
    bool filling_ = false;
    QComboBox *gas_ = nullptr, *reagent1_ = nullptr, *reagent2_ = nullptr, *drawing_ = nullptr;
    QButtonGroup *generator_ = nullptr, *collection_ = nullptr;
    QList<std::pair<QLineEdit *, Field>> lines_;
    QLineEdit *reasons_ = nullptr;
};

} // namespace vaporica::editor
