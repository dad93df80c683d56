#include "EditorWindow.h"

#include "CommandBar.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QScrollArea>
#include <QStatusBar>
#include <cstdio>

namespace vaporica::editor {

EditorWindow::EditorWindow(std::unique_ptr<QuestionEditor> editor, QString openedFrom,
                           QString shippedDir)
    : editor_(std::move(editor)), openedFrom_(std::move(openedFrom)),
      shippedDir_(std::move(shippedDir)) {
    setWindowTitle(QStringLiteral("ヴァポリカ 問題の編集 — %1").arg(openedFrom_));
    list_ = new QuestionList(editor_->questionCount());
    connect(list_, &QListWidget::currentRowChanged, this,
            [this](int row) { showQuestion(row + 1); });
    auto *centre = new QWidget;
    auto *columns = new QHBoxLayout(centre);
    columns->addWidget(list_);
    auto *formScroll = new QScrollArea;
    form_ = new QuestionForm;
    connect(form_, &QuestionForm::edited, this, &EditorWindow::edited);
    formScroll->setWidget(form_);
    formScroll->setWidgetResizable(true);
    columns->addWidget(formScroll, 1);
    preview_ = new PreviewPane;
    columns->addWidget(preview_);
    setCentralWidget(centre);
    addCommands();
    previewTimer_.setSingleShot(true);
    previewTimer_.setInterval(0);
    connect(&previewTimer_, &QTimer::timeout, this,
            [this] { preview_->showPictures(*editor_, question_); });
    list_->describe(*editor_, question_);
    list_->setCurrentRow(0);
    setTabOrder(list_, form_->firstField());
}

void EditorWindow::addCommands() {
    addCommandBar(this, {{QStringLiteral("保存(&S)"), QKeySequence::Save,
                          [this] { say(saved_.save(this, *editor_)); }},
                         {QStringLiteral("元に戻す(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R),
                          [this] {
                              editor_->revert(question_);
                              refresh();
                          }},
                         {QStringLiteral("すべて元に戻す(&A)"),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), [this] { revertAll(); }},
                         {QStringLiteral("取り消し(&Z)"), QKeySequence::Undo,
                          [this] {
                              editor_->undo();
                              refresh();
                          }},
                         {QStringLiteral("やり直し(&X)"), QKeySequence::Redo,
                          [this] {
                              editor_->redo();
                              refresh();
                          }},
                         {QStringLiteral("この問題を試す(&T)"), QKeySequence(Qt::Key_F5),
                          [this] { say(trial_.start(*editor_, question_)); }},
                         {QStringLiteral("全員に配布(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P),
                          [this] { say(saved_.publish(*editor_)); }},
                         {QStringLiteral("書き出す(&E)"), QKeySequence(Qt::CTRL | Qt::Key_E),
                          [this] { say(saved_.exportFile(this, *editor_)); }}});
}

void EditorWindow::showQuestion(int question) {
    if (question < 1 || question > editor_->questionCount())
        return;
    question_ = question;
    form_->fill(*editor_, question);
    form_->showFindings(*editor_, question);
    previewTimer_.start();
}

void EditorWindow::edited(Field field, const QString &value) {
    QElapsedTimer timer;
    timer.start();
    editor_->setCell(question_, field, value);
    form_->showFindings(*editor_, question_);
    list_->describe(*editor_, question_);
    preview_->showPictures(*editor_, question_);
    if (qEnvironmentVariableIsSet("VAPORICA_EDITOR_TIMING"))
        std::fprintf(stderr, "edit to preview: %lld ms\n", static_cast<long long>(timer.elapsed()));
}

void EditorWindow::refresh() {
    list_->describe(*editor_, question_);
    showQuestion(question_);
}

void EditorWindow::revertAll() {
    if (QMessageBox::question(this, QStringLiteral("すべて元に戻す"),
                              QStringLiteral("20 問すべてを見本の問題に戻しますか？")) !=
        QMessageBox::Yes)
        return;
    editor_->revertAll();
    refresh();
}

void EditorWindow::say(const Report &report) {
    if (report.message.isEmpty())
        return;
    statusBar()->showMessage(report.message);
    if (report.problem)
        QMessageBox::warning(this, windowTitle(), report.message);
}

void EditorWindow::closeEvent(QCloseEvent *event) {
    if (editor_->unsaved()) {
        const auto answer = QMessageBox::question(
            this, QStringLiteral("閉じる"),
            QStringLiteral("保存していない変更があります。保存せずに閉じますか？"),
            QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Discard)
            return event->ignore();
    }
    event->accept();
}

} // namespace vaporica::editor
