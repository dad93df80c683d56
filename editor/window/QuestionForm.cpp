#include "QuestionForm.h"

#include "ApparatusArt.h"
#include "base/Names.h"
#include "base/SharedVariables.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace vaporica::editor {

namespace {

// A picture choice's cell: the collection by its name, the generator by its number.
QString choiceCell(Field field, int n) {
    return field == Field::Collection ? material::collectionName(n) : QString::number(n);
}

int choiceOfCell(Field field, const QString &cell) {
    if (field != Field::Collection)
        return cell.toInt();
    for (int n = 1; n <= CollectorCount; ++n)
        if (material::collectionName(n) == cell)
            return n;
    return 0;
}

// The words the pupils hear: the vessel alone does not tell generators 2 and 3 apart.
QString choiceWords(Field field, int n) {
    return field == Field::Collection ? material::collectionName(n)
                                      : QStringLiteral("%1（%2）").arg(n).arg(generatorWords(n));
}

QToolButton *pictureButton(const QImage &picture, int n, const QString &spoken) {
    auto *b = new QToolButton;
    b->setCheckable(true);
    b->setIcon(QPixmap::fromImage(picture));
    b->setIconSize(QSize(72, 72));
    b->setText(QString::number(n));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAccessibleName(spoken);
    return b;
}

void check(QButtonGroup *group, int id) {
    group->setExclusive(false);
    for (QAbstractButton *b : group->buttons())
        b->setChecked(group->id(b) == id);
    group->setExclusive(true);
}

} // namespace

QuestionForm::QuestionForm() {
    layout_ = new QFormLayout(this);
    gas_ = nameChoice(Field::Gas, gasName, GasCount);
    reagent1_ = nameChoice(Field::Reagent1, reagentName, ReagentCount);
    reagent2_ = nameChoice(Field::Reagent2, reagentName, ReagentCount);
    addField(QStringLiteral("気体(&G)"), Field::Gas, gas_);
    addField(QStringLiteral("薬品1(&1)"), Field::Reagent1, reagent1_);
    addField(QStringLiteral("薬品2(&2)"), Field::Reagent2, reagent2_);
    generator_ = addPictureChoice(Field::Generator, GeneratorCount, generatorPicture,
                                  QStringLiteral("発生装置"));
    collection_ = addPictureChoice(Field::Collection, CollectorCount, collectorPicture,
                                   QStringLiteral("捕集"));
    addDrawingChoice();
    addLine(Field::Equation, QStringLiteral("反応式(&Q)"));
    addLine(Field::OverArrow, QStringLiteral("矢印の上(&U)"));
    addLine(Field::UnderArrow, QStringLiteral("矢印の下(&W)"));
    reasons_ = addLine(Field::Reasons, QStringLiteral("理由(&Y)"));
    layout_->addRow(QString(), findings_.makeRoomLabel());
    addLine(Field::Cautions, QStringLiteral("注意(&C)"));
    layout_->addRow(findings_.makeOthersLabel());
}

// The control beside its caption, its findings under it. A layout, not a box widget, holds the
// two, so the caption stays the control's sibling: that is how a screen reader finds the label of
// a combo box, whose own name is its current value.
void QuestionForm::addField(const QString &caption, Field field, QWidget *control) {
    auto *label = new QLabel(caption);
    label->setBuddy(control);
    auto *v = new QVBoxLayout;
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(control);
    v->addWidget(findings_.makeFieldLabel(field));
    layout_->addRow(label, v);
}

QComboBox *QuestionForm::nameChoice(Field field, QString (*nameOf)(int), int count) {
    auto *c = new QComboBox;
    for (int n = 1; n <= count; ++n)
        c->addItem(nameOf(n));
    c->setAccessibleName(columnOf(field));
    connect(c, &QComboBox::currentTextChanged, this,
            [this, field](const QString &text) { tell(field, text); });
    return c;
}

// The same pictures the pupils choose from.
QButtonGroup *QuestionForm::addPictureChoice(Field field, int count, QImage (*picture)(int),
                                             const QString &word) {
    auto *row = new QWidget;
    auto *h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    auto *group = new QButtonGroup(this);
    for (int n = 1; n <= count; ++n) {
        auto *b = pictureButton(picture(n), n,
                                QStringLiteral("%1 %2").arg(word).arg(choiceWords(field, n)));
        group->addButton(b, n);
        h->addWidget(b);
    }
    h->addStretch();
    connect(group, &QButtonGroup::idClicked, this,
            [this, field](int id) { tell(field, choiceCell(field, id)); });
    addField(word, field, row);
    return group;
}

void QuestionForm::addDrawingChoice() {
    drawing_ = new QComboBox;
    drawing_->setIconSize(QSize(120, 80));
    for (int n : setupNumbers())
        drawing_->addItem(
            QIcon(QPixmap::fromImage(setupPicture(n).scaledToWidth(240, Qt::SmoothTransformation))),
            QStringLiteral("装置図 %1").arg(n), n);
    drawing_->setAccessibleName(QStringLiteral("装置図"));
    connect(drawing_, &QComboBox::currentIndexChanged, this, [this](int index) {
        tell(Field::Drawing, QString::number(drawing_->itemData(index).toInt()));
    });
    addField(QStringLiteral("装置図(&D)"), Field::Drawing, drawing_);
}

QLineEdit *QuestionForm::addLine(Field field, const QString &caption) {
    auto *edit = new QLineEdit;
    edit->setAccessibleName(columnOf(field));
    connect(edit, &QLineEdit::textEdited, this,
            [this, field](const QString &text) { tell(field, text); });
    addField(caption, field, edit);
    lines_.append({edit, field});
    return edit;
}

void QuestionForm::tell(Field field, const QString &value) {
    if (!filling_)
        emit edited(field, value);
}

void QuestionForm::fill(const QuestionEditor &editor, int question) {
    filling_ = true;
    gas_->setCurrentText(editor.cell(question, Field::Gas));
    reagent1_->setCurrentText(editor.cell(question, Field::Reagent1));
    reagent2_->setCurrentText(editor.cell(question, Field::Reagent2));
    check(generator_, choiceOfCell(Field::Generator, editor.cell(question, Field::Generator)));
    check(collection_, choiceOfCell(Field::Collection, editor.cell(question, Field::Collection)));
    drawing_->setCurrentIndex(drawing_->findData(editor.cell(question, Field::Drawing).toInt()));
    // Only a line that differs: setting its text would move the teacher's cursor to the end.
    for (const auto &[edit, field] : lines_)
        if (edit->text() != editor.cell(question, field))
            edit->setText(editor.cell(question, field));
    filling_ = false;
}

void QuestionForm::showFindings(const QuestionEditor &editor, int question) {
    findings_.show(editor, question, reasons_->text());
}

} // namespace vaporica::editor
