#pragma once

// The editor's window: the twenty questions in a list, the chosen one in a form whose fields
// carry the generator's findings, and the pictures the pupils will see, redrawn as the teacher
// types.

#include "QuestionEditor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace vaporica::editor {

class EditorWindow : public QMainWindow {
    Q_OBJECT
public:
    // shippedDir: the package's example tables, which 「元に戻す」 restores.
    EditorWindow(std::unique_ptr<QuestionEditor> editor, QString openedFrom, QString shippedDir);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildForm();
    QWidget *buildPreview();
    void buildActions();
    void showQuestion(int question);
    void edited(Field field, const QString &value);
    void refresh();
    void refreshList();
    void refreshFindings();
    void refreshPreview();
    void save();
    void tryQuestion();
    void publish();
    void exportFile();
    bool savedBeforePublishing();
    void say(const QString &message, bool problem);

    std::unique_ptr<QuestionEditor> editor_;
    QString openedFrom_, shippedDir_, savedDir_;
    int question_ = 1;
    bool filling_ = false; // the form is being filled from the model, not edited
    QListWidget *list_ = nullptr;
    QComboBox *gas_ = nullptr, *reagent1_ = nullptr, *reagent2_ = nullptr, *drawing_ = nullptr;
    QButtonGroup *generator_ = nullptr, *collection_ = nullptr;
    QLineEdit *equation_ = nullptr, *over_ = nullptr, *under_ = nullptr, *reasons_ = nullptr,
              *cautions_ = nullptr;
    QLabel *room_ = nullptr;
    QMap<Field, QLabel *> findingLabels_;
    QLabel *otherFindings_ = nullptr;
    QLabel *card_ = nullptr, *setup_ = nullptr;
    QTimer previewTimer_;
    std::unique_ptr<QTemporaryDir> trial_;
};

} // namespace vaporica::editor
