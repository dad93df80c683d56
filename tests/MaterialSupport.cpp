#include "MaterialSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace vaporica::test {

namespace {

ToolRun run(const QString &program, const QStringList &arguments,
            const QProcessEnvironment &environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError()),
            QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace

QStringList ToolRun::lines() const {
    return (report + said).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void copyTables(const QString &tables, const QList<TableEdit> &edits) {
    for (const char *name : {"questions.tsv", "gases.tsv", "reagents.tsv"}) {
        const QString file = QString::fromLatin1(name);
        QFile::remove(QDir(tables).filePath(file));
        EXPECT_TRUE(QFile::copy(QStringLiteral(VAPORICA_SOURCE_DIR "/material/") + file,
                                QDir(tables).filePath(file)));
    }
    for (const TableEdit &edit : edits) {
        if (edit.before.isEmpty())
            continue;
        QFile edited(QDir(tables).filePath(QString::fromLatin1(edit.table)));
        EXPECT_TRUE(edited.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(edited.readAll());
        edited.close();
        const qsizetype at = text.indexOf(edit.before);
        EXPECT_GE(at, 0) << edit.before.left(80).toStdString();
        if (at >= 0)
            text.replace(at, edit.before.size(), edit.after);
        EXPECT_TRUE(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
        edited.write(text.toUtf8());
    }
}

ToolRun runGenerator(const QString &tables, const QString &output,
                     const QProcessEnvironment &environment) {
    return run(QStringLiteral(VAPORICA_BUILD_DIR "/tools/make-material"), {tables, output},
               environment);
}

ToolRun runOnEditedTables(const QString &output, const QList<TableEdit> &edits) {
    QTemporaryDir tables;
    copyTables(tables.path(), edits);
    return runGenerator(tables.path(), output.isEmpty() ? tables.path() : output);
}

ToolRun runChecker(const QString &dir, const QProcessEnvironment &environment) {
    return run(QStringLiteral(VAPORICA_BUILD_DIR "/tools/check-material"), {dir}, environment);
}

QStringList dataFolders() {
    return contract::DataFolders;
}

} // namespace vaporica::test
