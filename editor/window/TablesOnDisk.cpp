#include "TablesOnDisk.h"

#include "Publish.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

namespace vaporica::editor {

namespace {

const Report SaveFirst{
    QStringLiteral("先に「保存」で表を保存してください（配布と書き出しは保存した表を使います）"),
    true};

Report reportOf(const PublishOutcome &outcome, const QString &done) {
    return {outcome.message.isEmpty() ? done : outcome.message, !outcome.ok};
}

} // namespace

TablesOnDisk::TablesOnDisk() : folder_(QDir::homePath() + QStringLiteral("/ヴァポリカの表")) {}

Report TablesOnDisk::save(QWidget *parent, QuestionEditor &editor) {
    const QString dir = QFileDialog::getExistingDirectory(
        parent, QStringLiteral("表を保存するフォルダー"), folder_, QFileDialog::ShowDirsOnly);
    if (dir.isEmpty())
        return {};
    const QString why = editor.save(dir);
    if (!why.isEmpty())
        return {why, true};
    folder_ = dir;
    return {QStringLiteral("保存しました: %1").arg(dir)};
}

bool TablesOnDisk::savedAsEdited(const QuestionEditor &editor) const {
    return !editor.unsaved() && QFile::exists(folder_ + '/' + material::QuestionsTable);
}

Report TablesOnDisk::publish(const QuestionEditor &editor) const {
    if (!savedAsEdited(editor))
        return SaveFirst;
    return reportOf(publishForEveryone(folder_), QStringLiteral("この PC の全員に配布しました"));
}

Report TablesOnDisk::exportFile(QWidget *parent, const QuestionEditor &editor) const {
    if (!savedAsEdited(editor))
        return SaveFirst;
    const QString file =
        QFileDialog::getSaveFileName(parent, QStringLiteral("書き出すファイル"),
                                     QDir::homePath() + QStringLiteral("/ヴァポリカの問題.tar.gz"));
    if (file.isEmpty())
        return {};
    return reportOf(exportTables(folder_, file), QStringLiteral("書き出しました: %1").arg(file));
}

} // namespace vaporica::editor
