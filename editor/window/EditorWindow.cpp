#include "EditorWindow.h"

#include "ApparatusArt.h"
#include "EquationPicture.h"
#include "Publish.h"
#include "Typeset.h"
#include "assets/DataPaths.h"
#include "base/Names.h"
#include "base/SharedVariables.h"
#include "drawing/Fonts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>

namespace vaporica::editor {

using material::Finding;
using material::Severity;

namespace {

const QString ErrorColour = QStringLiteral("#b00020");
const QString WarningColour = QStringLiteral("#8a5300");

QPixmap pixmapAt(const QImage &image, qreal ratio, int width = 0) {
    QImage shown =
        width > 0 ? image.scaledToWidth(int(width * ratio), Qt::SmoothTransformation) : image;
    QPixmap pixmap = QPixmap::fromImage(shown);
    if (width > 0)
        pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

// The pupils' program and the generator: beside the editor when installed, in the build tree
// when run from there.
QString siblingProgram(const QString &installed, const QString &built) {
    const QString beside = QCoreApplication::applicationDirPath() + '/' + installed;
    return QFile::exists(beside) ? beside : built;
}

// The bank's every record becomes question q's, and every equation card q's card, so whichever
// record the program draws, the question asked is q.
bool askOnlyThisQuestion(const QString &data, int q) {
    const QString bankPath = dataPath(data, fragment::QuestionFile);
    QFile bank(bankPath);
    if (!bank.open(QIODevice::ReadOnly))
        return false;
    const QByteArray record = bank.readAll().split('\n').value(q - 1).trimmed();
    bank.close();
    QByteArray all;
    for (int k = 0; k < MaxQuestions; ++k)
        all += record + '\n';
    if (!bank.open(QIODevice::WriteOnly | QIODevice::Truncate) || bank.write(all) != all.size())
        return false;
    bank.close();
    const QString card = picturePathUnder(data, fragment::Equation, q);
    const QString words = QString(card).replace(QStringLiteral(".gif"), QStringLiteral(".txt"));
    for (int k = 1; k <= MaxQuestions; ++k) {
        if (k == q)
            continue;
        const QString other = picturePathUnder(data, fragment::Equation, k);
        const QString otherWords =
            QString(other).replace(QStringLiteral(".gif"), QStringLiteral(".txt"));
        QFile::remove(other);
        QFile::remove(otherWords);
        if (!QFile::copy(card, other) || (QFile::exists(words) && !QFile::copy(words, otherWords)))
            return false;
    }
    return true;
}

} // namespace

EditorWindow::EditorWindow(std::unique_ptr<QuestionEditor> editor, QString openedFrom,
                           QString shippedDir)
    : editor_(std::move(editor)), openedFrom_(std::move(openedFrom)),
      shippedDir_(std::move(shippedDir)),
      savedDir_(QDir::homePath() + QStringLiteral("/ヴァポリカの表")) {
    setWindowTitle(QStringLiteral("ヴァポリカ 問題の編集 — %1").arg(openedFrom_));
    list_ = new QListWidget;
    list_->setAccessibleName(QStringLiteral("問題の一覧"));
    list_->setIconSize(QSize(160, 32));
    list_->setMinimumWidth(360);
    for (int q = 1; q <= editor_->questionCount(); ++q)
        list_->addItem(QString());
    connect(list_, &QListWidget::currentRowChanged, this,
            [this](int row) { showQuestion(row + 1); });
    auto *centre = new QWidget;
    auto *columns = new QHBoxLayout(centre);
    columns->addWidget(list_);
    auto *formScroll = new QScrollArea;
    formScroll->setWidget(buildForm());
    formScroll->setWidgetResizable(true);
    columns->addWidget(formScroll, 1);
    columns->addWidget(buildPreview());
    setCentralWidget(centre);
    buildActions();
    previewTimer_.setSingleShot(true);
    previewTimer_.setInterval(0);
    connect(&previewTimer_, &QTimer::timeout, this, &EditorWindow::refreshPreview);
    refreshList();
    list_->setCurrentRow(0);
    setTabOrder(list_, gas_);
}

QWidget *EditorWindow::buildForm() {
    auto *form = new QWidget;
    auto *layout = new QFormLayout(form);
    // The control beside its caption, its findings under it. A layout, not a box widget, holds
    // the two, so the caption stays the control's sibling: that is how a screen reader finds the
    // label of a combo box, whose own name is its current value.
    const auto addField = [&](const QString &captionText, Field field, QWidget *control) {
        auto *caption = new QLabel(captionText);
        caption->setBuddy(control);
        auto *v = new QVBoxLayout;
        v->setContentsMargins(0, 0, 0, 0);
        v->addWidget(control);
        auto *finding = new QLabel;
        finding->setWordWrap(true);
        finding->setTextInteractionFlags(Qt::TextSelectableByMouse);
        finding->setAccessibleName(QStringLiteral("%1の確認").arg(columnOf(field)));
        finding->hide();
        v->addWidget(finding);
        layout->addRow(caption, v);
        findingLabels_[field] = finding;
    };
    const auto combo = [&](Field field, QString (*nameOf)(int), int count) {
        auto *c = new QComboBox;
        for (int n = 1; n <= count; ++n)
            c->addItem(nameOf(n));
        c->setAccessibleName(columnOf(field));
        connect(c, &QComboBox::currentTextChanged, this,
                [this, field](const QString &text) { edited(field, text); });
        return c;
    };
    gas_ = combo(Field::Gas, gasName, GasCount);
    reagent1_ = combo(Field::Reagent1, reagentName, ReagentCount);
    reagent2_ = combo(Field::Reagent2, reagentName, ReagentCount);
    addField(QStringLiteral("気体(&G)"), Field::Gas, gas_);
    addField(QStringLiteral("薬品1(&1)"), Field::Reagent1, reagent1_);
    addField(QStringLiteral("薬品2(&2)"), Field::Reagent2, reagent2_);

    // The same pictures the pupils choose from.
    const auto pictures = [&](Field field, QButtonGroup *&group, int count, QImage (*picture)(int),
                              const QString &word) {
        auto *row = new QWidget;
        auto *h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        group = new QButtonGroup(this);
        for (int n = 1; n <= count; ++n) {
            auto *b = new QToolButton;
            b->setCheckable(true);
            b->setIcon(QPixmap::fromImage(picture(n)));
            b->setIconSize(QSize(72, 72));
            b->setText(QString::number(n));
            b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            // The words the pupils hear: the vessel alone does not tell generators 2 and 3 apart.
            b->setAccessibleName(QStringLiteral("%1 %2").arg(word).arg(
                field == Field::Collection
                    ? material::collectionName(n)
                    : QStringLiteral("%1（%2）").arg(n).arg(generatorWords(n))));
            group->addButton(b, n);
            h->addWidget(b);
        }
        h->addStretch();
        connect(group, &QButtonGroup::idClicked, this, [this, field](int id) {
            edited(field,
                   field == Field::Collection ? material::collectionName(id) : QString::number(id));
        });
        addField(word, field, row);
    };
    pictures(Field::Generator, generator_, 4, generatorPicture, QStringLiteral("発生装置"));
    pictures(Field::Collection, collection_, 3, collectorPicture, QStringLiteral("捕集"));
    drawing_ = new QComboBox;
    drawing_->setIconSize(QSize(120, 80));
    for (int n : setupNumbers())
        drawing_->addItem(
            QIcon(QPixmap::fromImage(setupPicture(n).scaledToWidth(240, Qt::SmoothTransformation))),
            QStringLiteral("装置図 %1").arg(n), n);
    drawing_->setAccessibleName(QStringLiteral("装置図"));
    connect(drawing_, &QComboBox::currentIndexChanged, this, [this](int index) {
        edited(Field::Drawing, QString::number(drawing_->itemData(index).toInt()));
    });
    addField(QStringLiteral("装置図(&D)"), Field::Drawing, drawing_);

    const auto line = [&](Field field, QLineEdit *&edit, const QString &label) {
        edit = new QLineEdit;
        edit->setAccessibleName(columnOf(field));
        connect(edit, &QLineEdit::textEdited, this,
                [this, field](const QString &text) { edited(field, text); });
        addField(label, field, edit);
    };
    line(Field::Equation, equation_, QStringLiteral("反応式(&Q)"));
    line(Field::OverArrow, over_, QStringLiteral("矢印の上(&U)"));
    line(Field::UnderArrow, under_, QStringLiteral("矢印の下(&W)"));
    line(Field::Reasons, reasons_, QStringLiteral("理由(&Y)"));
    room_ = new QLabel;
    room_->setAccessibleName(QStringLiteral("理由の残りの幅"));
    layout->addRow(QString(), room_);
    line(Field::Cautions, cautions_, QStringLiteral("注意(&C)"));
    otherFindings_ = new QLabel;
    otherFindings_->setWordWrap(true);
    otherFindings_->setAccessibleName(QStringLiteral("表全体の確認"));
    layout->addRow(otherFindings_);
    return form;
}

QWidget *EditorWindow::buildPreview() {
    auto *box = new QWidget;
    auto *v = new QVBoxLayout(box);
    auto *title = new QLabel(QStringLiteral("生徒が見る画面"));
    v->addWidget(title);
    card_ = new QLabel;
    card_->setAccessibleName(QStringLiteral("反応式の画像"));
    card_->setMinimumSize(material::EquationWidth, 180);
    card_->setWordWrap(true);
    setup_ = new QLabel;
    setup_->setAccessibleName(QStringLiteral("装置の絵"));
    setup_->setWordWrap(true);
    v->addWidget(card_);
    v->addWidget(setup_);
    v->addStretch();
    return box;
}

void EditorWindow::buildActions() {
    QToolBar *bar = addToolBar(QStringLiteral("操作"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto action = [&](const QString &text, QKeySequence keys, auto slot) {
        auto *a = new QAction(text, this);
        a->setShortcut(keys);
        a->setToolTip(QStringLiteral("%1（%2）")
                          .arg(QString(text).remove(QStringLiteral("&")),
                               keys.toString(QKeySequence::NativeText)));
        connect(a, &QAction::triggered, this, slot);
        bar->addAction(a);
        if (QWidget *w = bar->widgetForAction(a))
            w->setAccessibleName(
                QString(text).remove(QRegularExpression(QStringLiteral("\\(&.\\)"))));
        return a;
    };
    action(QStringLiteral("保存(&S)"), QKeySequence::Save, [this] { save(); });
    action(QStringLiteral("元に戻す(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R), [this] {
        editor_->revert(question_);
        refresh();
    });
    action(QStringLiteral("すべて元に戻す(&A)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
           [this] {
               if (QMessageBox::question(this, QStringLiteral("すべて元に戻す"),
                                         QStringLiteral("20 問すべてを見本の問題に戻しますか？")) ==
                   QMessageBox::Yes) {
                   editor_->revertAll();
                   refresh();
               }
           });
    action(QStringLiteral("取り消し(&Z)"), QKeySequence::Undo, [this] {
        editor_->undo();
        refresh();
    });
    action(QStringLiteral("やり直し(&X)"), QKeySequence::Redo, [this] {
        editor_->redo();
        refresh();
    });
    action(QStringLiteral("この問題を試す(&T)"), QKeySequence(Qt::Key_F5),
           [this] { tryQuestion(); });
    action(QStringLiteral("全員に配布(&P)"), QKeySequence(Qt::CTRL | Qt::Key_P),
           [this] { publish(); });
    action(QStringLiteral("書き出す(&E)"), QKeySequence(Qt::CTRL | Qt::Key_E),
           [this] { exportFile(); });
}

void EditorWindow::showQuestion(int question) {
    if (question < 1 || question > editor_->questionCount())
        return;
    question_ = question;
    filling_ = true;
    gas_->setCurrentText(editor_->cell(question, Field::Gas));
    reagent1_->setCurrentText(editor_->cell(question, Field::Reagent1));
    reagent2_->setCurrentText(editor_->cell(question, Field::Reagent2));
    const auto check = [](QButtonGroup *group, int id) {
        group->setExclusive(false);
        for (QAbstractButton *b : group->buttons())
            b->setChecked(group->id(b) == id);
        group->setExclusive(true);
    };
    check(generator_, editor_->cell(question, Field::Generator).toInt());
    check(collection_, QStringList{QStringLiteral("下方置換"), QStringLiteral("上方置換"),
                                   QStringLiteral("水上置換")}
                               .indexOf(editor_->cell(question, Field::Collection)) +
                           1);
    drawing_->setCurrentIndex(drawing_->findData(editor_->cell(question, Field::Drawing).toInt()));
    const QList<std::pair<QLineEdit *, Field>> lines = {{equation_, Field::Equation},
                                                        {over_, Field::OverArrow},
                                                        {under_, Field::UnderArrow},
                                                        {reasons_, Field::Reasons},
                                                        {cautions_, Field::Cautions}};
    for (const auto &[edit, field] : lines)
        if (edit->text() != editor_->cell(question, field))
            edit->setText(editor_->cell(question, field));
    filling_ = false;
    refreshFindings();
    previewTimer_.start();
}

void EditorWindow::edited(Field field, const QString &value) {
    if (filling_)
        return;
    QElapsedTimer timer;
    timer.start();
    editor_->setCell(question_, field, value);
    refreshFindings();
    refreshList();
    refreshPreview();
    if (qEnvironmentVariableIsSet("VAPORICA_EDITOR_TIMING"))
        std::fprintf(stderr, "edit to preview: %lld ms\n", static_cast<long long>(timer.elapsed()));
}

void EditorWindow::refresh() {
    refreshList();
    showQuestion(question_);
}

void EditorWindow::refreshList() {
    for (int q = 1; q <= editor_->questionCount(); ++q) {
        QListWidgetItem *item = list_->item(q - 1);
        const bool changed = editor_->differsFromShipped(q);
        const qsizetype errors = std::count_if(
            editor_->findings().begin(), editor_->findings().end(),
            [q](const Finding &f) { return f.question == q && f.severity == Severity::Error; });
        item->setText(QStringLiteral("%1%2 %3　%4＋%5%6")
                          .arg(changed ? QStringLiteral("＊") : QStringLiteral("　"))
                          .arg(q)
                          .arg(editor_->cell(q, Field::Gas), editor_->cell(q, Field::Reagent1),
                               editor_->cell(q, Field::Reagent2),
                               errors > 0 ? QStringLiteral("（エラー）") : QString()));
        item->setData(Qt::AccessibleTextRole,
                      QStringLiteral("問題 %1、%2、%3と%4%5%6")
                          .arg(q)
                          .arg(editor_->cell(q, Field::Gas), editor_->cell(q, Field::Reagent1),
                               editor_->cell(q, Field::Reagent2),
                               changed ? QStringLiteral("、変更あり") : QString(),
                               errors > 0 ? QStringLiteral("、エラーあり") : QString()));
        if (q == question_ || item->icon().isNull()) {
            if (const auto card = editor_->equationCard(q))
                item->setIcon(
                    QPixmap::fromImage(card->scaledToWidth(160, Qt::SmoothTransformation)));
        }
    }
}

void EditorWindow::refreshFindings() {
    for (auto it = findingLabels_.begin(); it != findingLabels_.end(); ++it) {
        QStringList lines;
        bool error = false;
        for (const Finding &f : editor_->findingsOf(question_, it.key())) {
            lines << material::reportLine(f);
            error = error || f.severity == Severity::Error;
        }
        it.value()->setText(lines.join(QLatin1Char('\n')));
        it.value()->setStyleSheet(
            QStringLiteral("color: %1").arg(error ? ErrorColour : WarningColour));
        it.value()->setVisible(!lines.isEmpty());
    }
    QStringList others;
    for (const Finding &f : editor_->findings())
        if ((f.question != question_ || fieldOf(f) == Field::None) &&
            (f.question == 0 || fieldOf(f) == Field::None || f.severity == Severity::Error))
            others << material::reportLine(f);
    otherFindings_->setText(others.join(QLatin1Char('\n')));
    otherFindings_->setStyleSheet(QStringLiteral("color: %1").arg(ErrorColour));
    const qreal width = material::chemicalWidth(reasons_->text(), material::reasonsFont());
    const int room = int(material::reasonsBox().width() - width);
    room_->setText(room >= 0 ? QStringLiteral("理由の行: あと %1 px 入ります").arg(room)
                             : QStringLiteral("理由の行: %1 px はみ出しています").arg(-room));
    room_->setStyleSheet(room >= 0 ? QString() : QStringLiteral("color: %1").arg(ErrorColour));
}

void EditorWindow::refreshPreview() {
    const qreal ratio = devicePixelRatioF();
    // On a denser screen the pictures are drawn at twice the size, as the pupils' program shows
    // the generator's name@2x files, rather than blown up from their own size.
    const int scale = ratio > 1 ? 2 : 1;
    QString why;
    if (const auto card = editor_->equationCard(question_, &why, scale)) {
        card_->setPixmap(pixmapAt(*card, ratio, material::EquationWidth));
    } else {
        card_->setText(why);
    }
    if (const auto setup = editor_->setupPicture(question_, &why, scale))
        setup_->setPixmap(pixmapAt(*setup, ratio, material::EquationWidth));
    else
        setup_->setText(why);
}

void EditorWindow::say(const QString &message, bool problem) {
    statusBar()->showMessage(message);
    if (problem)
        QMessageBox::warning(this, windowTitle(), message);
}

void EditorWindow::save() {
    const QString dir = QFileDialog::getExistingDirectory(
        this, QStringLiteral("表を保存するフォルダー"), savedDir_, QFileDialog::ShowDirsOnly);
    if (dir.isEmpty())
        return;
    const QString why = editor_->save(dir);
    if (!why.isEmpty())
        return say(why, true);
    savedDir_ = dir;
    say(QStringLiteral("保存しました: %1").arg(dir), false);
}

bool EditorWindow::savedBeforePublishing() {
    if (!editor_->unsaved() && QFile::exists(savedDir_ + QStringLiteral("/questions.tsv")))
        return true;
    say(QStringLiteral(
            "先に「保存」で表を保存してください（配布と書き出しは保存した表を使います）"),
        true);
    return false;
}

void EditorWindow::publish() {
    if (!savedBeforePublishing())
        return;
    const PublishOutcome outcome = publishForEveryone(savedDir_);
    say(outcome.message.isEmpty() ? QStringLiteral("この PC の全員に配布しました")
                                  : outcome.message,
        !outcome.ok);
}

void EditorWindow::exportFile() {
    if (!savedBeforePublishing())
        return;
    const QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("書き出すファイル"),
                                     QDir::homePath() + QStringLiteral("/ヴァポリカの問題.tar.gz"));
    if (file.isEmpty())
        return;
    const PublishOutcome outcome = exportTables(savedDir_, file);
    say(outcome.message.isEmpty() ? QStringLiteral("書き出しました: %1").arg(file)
                                  : outcome.message,
        !outcome.ok);
}

// A temporary data directory in which every question is this one, made by the generator, and
// the pupils' program started on it; nothing is installed.
void EditorWindow::tryQuestion() {
    if (material::errorCount(editor_->findings()) > 0)
        return say(QStringLiteral("エラーを直してから試してください（赤い印の欄）"), true);
    trial_ = std::make_unique<QTemporaryDir>();
    const QString tables = trial_->filePath(QStringLiteral("tables"));
    const QString data = trial_->filePath(QStringLiteral("data"));
    const QString why = editor_->writeTables(tables);
    if (!why.isEmpty())
        return say(why, true);
    QProcess make;
    make.start(siblingProgram(QStringLiteral("vaporica-make-material"),
                              QStringLiteral(VAPORICA_BUILD_MAKE_MATERIAL)),
               {tables, data});
    if (!make.waitForFinished(120000) || make.exitCode() != 0)
        return say(QStringLiteral("試すためのデータを作れませんでした: %1")
                       .arg(QString::fromUtf8(make.readAllStandardError())),
                   true);
    if (!askOnlyThisQuestion(data, question_))
        return say(QStringLiteral("試すためのデータ（%1）を書けません。ディスクの空きを確かめてく"
                                  "ださい")
                       .arg(data),
                   true);
    // The pupils' program reads the data beside itself: a copy of it goes beside the data.
    const QString program =
        siblingProgram(QStringLiteral("vaporica"), QStringLiteral(VAPORICA_BUILD_PROGRAM));
    for (const QString &name : {QStringLiteral("vaporica"), QStringLiteral("vaporica-sound.so")}) {
        const QString from = QFileInfo(program).dir().filePath(name);
        // A copy, not a link: the program finds its data beside its real file.
        if (!QFile::copy(from, data + '/' + name))
            return say(QStringLiteral("%1 を一時フォルダーに置けません").arg(from), true);
    }
    if (!QProcess::startDetached(data + QStringLiteral("/vaporica"), {}, data))
        return say(QStringLiteral("生徒用のプログラム（%1）を起動できません").arg(program), true);
    say(QStringLiteral("問題 %1 だけの生徒用プログラムを起動しました").arg(question_), false);
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
