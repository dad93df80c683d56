#include "QuestionEditor.h"

#include "ApparatusArt.h"
#include "EquationPicture.h"
#include "MaterialRecord.h"
#include "base/SharedVariables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <stdexcept>

namespace vaporica::editor {

using material::Finding;
using material::Severity;

namespace {

const QString &QuestionsFile = material::QuestionsTable;
const QString &GasesFile = material::GasesTable;
const QString &ReagentsFile = material::ReagentsTable;
const QString &SchoolTables = material::SchoolTablesDir;

const QStringList Columns = {
    QStringLiteral("気体"),     QStringLiteral("薬品1"),    QStringLiteral("薬品2"),
    QStringLiteral("発生装置"), QStringLiteral("捕集"),     QStringLiteral("装置図"),
    QStringLiteral("反応式"),   QStringLiteral("矢印の上"), QStringLiteral("矢印の下"),
    QStringLiteral("理由"),     QStringLiteral("注意")};

bool isNote(const QString &line) {
    return line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'));
}

// A table as its lines, with the empty cells a spreadsheet leaves after the last column dropped:
// the generator would take them for columns too many. Text that is no UTF-8 is kept as it is, so
// the generator's reading names the problem.
QByteArray withoutTrailingCells(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return bytes;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), '\n');
    QStringList lines = text.split(QLatin1Char('\n'));
    qsizetype columns = -1;
    for (QString &line : lines) {
        if (isNote(line))
            continue;
        QStringList cells = line.split(QLatin1Char('\t'));
        while (cells.size() > 1 && cells.last().trimmed().isEmpty() &&
               (columns < 0 || cells.size() > columns))
            cells.removeLast();
        if (columns < 0)
            columns = cells.size();
        line = cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')).toUtf8();
}

std::optional<QByteArray> readFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

struct QuestionTable {
    QStringList notes, columns;
    QList<QStringList> rows;
};

QuestionTable splitQuestions(const QByteArray &text) {
    QuestionTable t;
    for (const QString &line : QString::fromUtf8(text).split(QLatin1Char('\n'))) {
        if (isNote(line)) {
            if (t.columns.isEmpty() && line.startsWith(QLatin1Char('#')))
                t.notes << line;
            continue;
        }
        QStringList cells = line.split(QLatin1Char('\t'));
        for (QString &c : cells)
            c = c.trimmed();
        if (t.columns.isEmpty()) {
            t.columns = cells;
            continue;
        }
        while (cells.size() < t.columns.size())
            cells << QString();
        t.rows << cells;
    }
    return t;
}

// The errors that leave a table unreadable as a whole: its file, its heading, its rows' count.
QString unreadableReport(const material::LoadedTables &loaded) {
    const bool complete = loaded.tables.questions.size() == MaxQuestions &&
                          loaded.tables.gases.size() == GasCount &&
                          loaded.tables.reagents.size() == ReagentCount;
    QStringList lines;
    for (const Finding &f : loaded.findings)
        if (f.severity == Severity::Error && (!complete || f.question == 0) &&
            (!complete || f.line == 0))
            lines << material::reportLine(f);
    if (lines.isEmpty() && !complete)
        lines << QStringLiteral("表の行を読み取れません");
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString columnOf(Field field) {
    return Columns.value(int(field));
}

Field fieldOf(const Finding &f) {
    if (f.file != QuestionsFile || f.question == 0)
        return Field::None;
    const QString &m = f.message;
    // A cell's own problem names its column in brackets or leads with it.
    for (int k = 0; k < FieldCount; ++k)
        if (m.startsWith(QStringLiteral("「%1」").arg(Columns[k])) ||
            m.startsWith(Columns[k] + QStringLiteral(" の ")))
            return Field(k);
    if (m.startsWith(QStringLiteral("薬品1 と 薬品2")))
        return Field::Reagent2;
    if (m.startsWith(QStringLiteral("問題 ")))
        return Field::Reagent1; // the same preparation as another question
    if (m.startsWith(QStringLiteral("理由")) || m.contains(QStringLiteral("を「可」としています")))
        return Field::Reasons;
    if (m.contains(QStringLiteral("注意")) && !m.startsWith(QStringLiteral("反応式 ")))
        return Field::Cautions;
    for (Field field : {Field::Equation, Field::Drawing, Field::Generator, Field::Collection})
        if (m.startsWith(columnOf(field)))
            return field;
    return Field::None;
}

QString tablesInForce(const QString &shippedDir) {
    return QFileInfo(SchoolTables + '/' + QuestionsFile).isFile() ? SchoolTables : shippedDir;
}

QuestionEditor::Opened QuestionEditor::open(const QString &tablesDir, const QString &shippedDir) {
    std::unique_ptr<QuestionEditor> e(new QuestionEditor);
    e->scratch_ = std::make_unique<QTemporaryDir>();
    if (!e->scratch_->isValid())
        return {nullptr, QStringLiteral("一時フォルダーを作れません（%1）。ディスクの空きを確かめて"
                                        "ください")
                             .arg(QDir::tempPath())};
    QByteArray shippedQuestions;
    for (const QString &name : {QuestionsFile, GasesFile, ReagentsFile}) {
        const QString own = tablesDir + '/' + name;
        const QString path = QFileInfo(own).isFile() ? own : shippedDir + '/' + name;
        const std::optional<QByteArray> bytes = readFile(path);
        if (!bytes)
            return {nullptr, QStringLiteral("%1: 読み込めません。ファイルがあるか、読む権限があるか"
                                            "確かめてください")
                                 .arg(path)};
        const QByteArray table = withoutTrailingCells(*bytes);
        if (!writeFile(e->scratch_->filePath(name), table))
            return {nullptr, QStringLiteral("一時フォルダー %1 に書けません。ディスクの空きを確かめ"
                                            "てください")
                                 .arg(e->scratch_->path())};
        if (name == GasesFile)
            e->gases_ = table;
        if (name == ReagentsFile)
            e->reagents_ = table;
        if (name == QuestionsFile)
            shippedQuestions = table;
    }
    const material::LoadedTables loaded = material::loadTables(e->scratch_->path(), setupNumbers());
    const QString report = unreadableReport(loaded);
    if (!report.isEmpty())
        return {nullptr, QStringLiteral("%1 の表を開けません。表計算ソフトで直して保存し直すか、"
                                        "見本の表から始めてください:\n%2")
                             .arg(tablesDir, report)};
    const QuestionTable questions = splitQuestions(shippedQuestions);
    e->notes_ = questions.notes;
    e->columns_ = questions.columns;
    e->rows_ = questions.rows;
    // A table written before a column was added (the cautions) gets it, empty.
    for (const QString &column : Columns)
        if (!e->columns_.contains(column)) {
            e->columns_ << column;
            for (QStringList &row : e->rows_)
                row << QString();
        }
    e->savedRows_ = e->rows_;
    // The shipped questions; where they cannot be read, the ones opened stand in for them.
    const QuestionTable shipped = splitQuestions(withoutTrailingCells(
        readFile(shippedDir + '/' + QuestionsFile).value_or(shippedQuestions)));
    const bool shippedUsable = shipped.rows.size() == e->rows_.size();
    e->shippedColumns_ = shippedUsable ? shipped.columns : questions.columns;
    e->shippedRows_ = shippedUsable ? shipped.rows : questions.rows;
    e->tables_ = loaded.tables;
    e->findings_ = loaded.findings;
    return {std::move(e), QString()};
}

QString QuestionEditor::cellOf(const QStringList &row, Field field) const {
    return row.value(columns_.indexOf(columnOf(field)));
}

QString QuestionEditor::cell(int question, Field field) const {
    return cellOf(rows_.value(question - 1), field);
}

qsizetype QuestionEditor::columnIndex(Field field) {
    return columns_.indexOf(columnOf(field));
}

void QuestionEditor::setCell(int question, Field field, const QString &value) {
    if (question < 1 || question > questionCount() || field == Field::None)
        return;
    const qsizetype k = columnIndex(field);
    if (rows_[question - 1][k] == value)
        return;
    const bool typingOn =
        !undo_.isEmpty() && undo_.last().question == question && undo_.last().field == field;
    if (!typingOn)
        undo_.append({rows_, question, field});
    redo_.clear();
    rows_[question - 1][k] = value; // after the snapshot: it shares the rows until written
    check();
}

bool QuestionEditor::differsFromShipped(int question) const {
    const QStringList shipped = shippedRows_.value(question - 1);
    for (int k = 0; k < FieldCount; ++k)
        if (cell(question, Field(k)) != shipped.value(shippedColumns_.indexOf(columnOf(Field(k)))))
            return true;
    return false;
}

void QuestionEditor::revert(int question) {
    if (!differsFromShipped(question))
        return;
    undo_.append({rows_, 0, Field::None});
    redo_.clear();
    const QStringList shipped = shippedRows_.value(question - 1);
    for (int k = 0; k < FieldCount; ++k)
        rows_[question - 1][columnIndex(Field(k))] =
            shipped.value(shippedColumns_.indexOf(columnOf(Field(k))));
    check();
}

void QuestionEditor::revertAll() {
    const QList<QStringList> before = rows_;
    const QList<Step> undo = undo_;
    for (int q = 1; q <= questionCount(); ++q)
        revert(q);
    undo_ = undo;
    if (rows_ != before)
        undo_.append({before, 0, Field::None});
}

void QuestionEditor::undo() {
    if (undo_.isEmpty())
        return;
    redo_.append({rows_, 0, Field::None});
    rows_ = undo_.takeLast().rows;
    check();
}

void QuestionEditor::redo() {
    if (redo_.isEmpty())
        return;
    undo_.append({rows_, 0, Field::None});
    rows_ = redo_.takeLast().rows;
    check();
}

QByteArray QuestionEditor::questionsText() const {
    QStringList lines = notes_;
    lines << columns_.join(QLatin1Char('\t'));
    for (const QStringList &row : rows_)
        lines << row.join(QLatin1Char('\t'));
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

// The generator's reading and checks, on the tables as edited.
void QuestionEditor::check() {
    if (!writeFile(scratch_->filePath(QuestionsFile), questionsText())) {
        findings_ = {{Severity::Error, 0, QuestionsFile, 0,
                      QStringLiteral("一時フォルダー %1 に書けないので確かめられません。ディスクの"
                                     "空きを確かめてください")
                          .arg(scratch_->path())}};
        return;
    }
    material::LoadedTables loaded = material::loadTables(scratch_->path(), setupNumbers());
    tables_ = loaded.tables;
    findings_ = loaded.findings;
}

QList<Finding> QuestionEditor::findingsOf(int question, Field field) const {
    QList<Finding> found;
    for (const Finding &f : findings_)
        if (f.question == question && fieldOf(f) == field)
            found << f;
    return found;
}

std::optional<QImage> QuestionEditor::equationCard(int question, QString *why, int scale) const {
    const material::QuestionRow *q = question >= 1 && question <= tables_.questions.size()
                                         ? &tables_.questions[question - 1]
                                         : nullptr;
    const auto refuse = [&](const QString &reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (!q || q->gas == 0 || q->equation.isEmpty())
        return refuse(QStringLiteral("気体と反応式が決まると、反応式の画像が出ます"));
    try {
        return material::equationPicture(q->equation, q->overArrow, q->underArrow,
                                         tables_.gases[q->gas - 1].formula, q->reasons, q->cautions,
                                         material::bankTypeSize(tables_.questions), scale);
    } catch (const std::runtime_error &e) {
        return refuse(QString::fromStdString(e.what()));
    }
}

std::optional<QImage> QuestionEditor::setupPicture(int question, QString *why, int scale) const {
    const material::QuestionRow *q = question >= 1 && question <= tables_.questions.size()
                                         ? &tables_.questions[question - 1]
                                         : nullptr;
    if (!q || q->gas == 0 || q->reagent1 == 0 || q->reagent2 == 0 ||
        !setupNumbers().contains(q->apparatus)) {
        if (why)
            *why = QStringLiteral("気体・薬品・装置図が決まると、装置の絵が出ます");
        return std::nullopt;
    }
    return vaporica::setupPicture(q->apparatus, material::setupContentsOf(tables_, *q), scale);
}

QString QuestionEditor::save(const QString &dir) {
    const QString why = writeTables(dir);
    if (why.isEmpty())
        savedRows_ = rows_;
    return why;
}

QString QuestionEditor::writeTables(const QString &dir) const {
    const qsizetype errors = material::errorCount(findings_);
    if (errors > 0) {
        const Finding first =
            *std::find_if(findings_.begin(), findings_.end(),
                          [](const Finding &f) { return f.severity == Severity::Error; });
        return QStringLiteral("保存しません: エラーが %1 件あります。最初のもの: %2。赤い印の欄を"
                              "直してから保存してください")
            .arg(errors)
            .arg(material::reportLine(first));
    }
    // A card that cannot be drawn (a line too wide) stops the generator too.
    for (int q = 1; q <= questionCount(); ++q) {
        QString why;
        if (!equationCard(q, &why))
            return QStringLiteral("保存しません: 問題 %1（%2）: %3。直してから保存してください")
                .arg(q)
                .arg(QuestionsFile, why);
    }
    if (!QDir().mkpath(dir))
        return QStringLiteral("%1: フォルダーを作れません。別のフォルダーを選んでください")
            .arg(dir);
    const QList<std::pair<QString, QByteArray>> files = {
        {QuestionsFile, questionsText()}, {GasesFile, gases_}, {ReagentsFile, reagents_}};
    for (const auto &[name, bytes] : files)
        if (!writeFile(dir + '/' + name, bytes))
            return QStringLiteral("%1: 書けません。書き込める別のフォルダー（ホームの中など）を"
                                  "選んでください")
                .arg(QDir(dir).filePath(name));
    return QString();
}

} // namespace vaporica::editor
