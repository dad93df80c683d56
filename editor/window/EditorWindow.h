#pragma once

// The editor's window: the twenty questions in a list, the chosen one in a form whose fields
// carry the generator's findings, and the pictures the pupils will see, redrawn as the teacher
// types; the commands in a tool bar above.

#include "PreviewPane.h"
#include "QuestionEditor.h"
#include "QuestionForm.h"
#include "QuestionList.h"
#include "QuestionTrial.h"
#include "Report.h"
#include "TablesOnDisk.h"

#include <QMainWindow>
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
    void addCommands();
    void showQuestion(int question);
    void edited(Field field, const QString &value);
    void refresh();
    void revertAll();
    void say(const Report &report);

    std::unique_ptr<QuestionEditor> editor_;
    QString openedFrom_, shippedDir_;
    int question_ = 1;
    QuestionList *list_ = nullptr;
    QuestionForm *form_ = nullptr;
    PreviewPane *preview_ = nullptr;
    QTimer previewTimer_;
    TablesOnDisk saved_;
    QuestionTrial trial_;
};

} // namespace vaporica::editor
