#include "QuestionTrial.h"

#include "assets/DataPaths.h"
#include "base/SharedVariables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace vaporica::editor {

namespace {

// The pupils' program and the generator: beside the editor when installed, in the build tree
// when run from there.
QString siblingProgram(const QString &installed, const QString &built) {
    const QString beside = QCoreApplication::applicationDirPath() + '/' + installed;
    return QFile::exists(beside) ? beside : built;
}

bool writeEveryRecordAs(const QString &data, int q) {
    QFile bank(dataPath(data, fragment::QuestionFile));
    if (!bank.open(QIODevice::ReadOnly))
        return false;
    const QByteArray record = bank.readAll().split('\n').value(q - 1).trimmed();
    bank.close();
    QByteArray all;
    for (int k = 0; k < MaxQuestions; ++k)
        all += record + '\n';
    return bank.open(QIODevice::WriteOnly | QIODevice::Truncate) && bank.write(all) == all.size();
}

bool copyEveryCardFrom(const QString &data, int q) {
    const QString card = picturePathUnder(data, fragment::Equation, q);
    const QString words = textPathUnder(data, fragment::Equation, q);
    for (int k = 1; k <= MaxQuestions; ++k) {
        if (k == q)
            continue;
        const QString other = picturePathUnder(data, fragment::Equation, k);
        const QString otherWords = textPathUnder(data, fragment::Equation, k);
        QFile::remove(other);
        QFile::remove(otherWords);
        if (!QFile::copy(card, other) || (QFile::exists(words) && !QFile::copy(words, otherWords)))
            return false;
    }
    return true;
}

// The bank's every record becomes question q's, and every equation card q's card, so whichever
// record the program draws, the question asked is q.
bool askOnlyThisQuestion(const QString &data, int q) {
    return writeEveryRecordAs(data, q) && copyEveryCardFrom(data, q);
}

// The generator's data from the tables as edited.
Report makeData(const QString &tables, const QString &data) {
    QProcess make;
    make.start(siblingProgram(QStringLiteral("vaporica-make-material"),
                              QStringLiteral(VAPORICA_BUILD_MAKE_MATERIAL)),
               {tables, data});
    if (!make.waitForFinished(120000) || make.exitCode() != 0)
        return {QStringLiteral("試すためのデータを作れませんでした: %1")
                    .arg(QString::fromUtf8(make.readAllStandardError())),
                true};
    return {};
}

// The pupils' program reads the data beside itself: a copy of it goes beside the data.
Report startProgramOn(const QString &data) {
    const QString program =
        siblingProgram(QStringLiteral("vaporica"), QStringLiteral(VAPORICA_BUILD_PROGRAM));
    for (const QString &name : {QStringLiteral("vaporica"), QStringLiteral("vaporica-sound.so")}) {
        const QString from = QFileInfo(program).dir().filePath(name);
        // A copy, not a link: the program finds its data beside its real file.
        if (!QFile::copy(from, data + '/' + name))
            return {QStringLiteral("%1 を一時フォルダーに置けません").arg(from), true};
    }
    if (!QProcess::startDetached(data + QStringLiteral("/vaporica"), {}, data))
        return {QStringLiteral("生徒用のプログラム（%1）を起動できません").arg(program), true};
    return {};
}

} // namespace

Report QuestionTrial::start(const QuestionEditor &editor, int question) {
    if (material::errorCount(editor.findings()) > 0)
        return {QStringLiteral("エラーを直してから試してください（赤い印の欄）"), true};
    dir_ = std::make_unique<QTemporaryDir>();
    const QString tables = dir_->filePath(QStringLiteral("tables"));
    const QString data = dir_->filePath(QStringLiteral("data"));
    if (const QString why = editor.writeTables(tables); !why.isEmpty())
        return {why, true};
    if (Report made = makeData(tables, data); made.problem)
        return made;
    if (!askOnlyThisQuestion(data, question))
        return {QStringLiteral("試すためのデータ（%1）を書けません。ディスクの空きを確かめてく"
                               "ださい")
                    .arg(data),
                true};
    if (Report started = startProgramOn(data); started.problem)
        return started;
    return {QStringLiteral("問題 %1 だけの生徒用プログラムを起動しました").arg(question)};
}

} // namespace vaporica::editor
