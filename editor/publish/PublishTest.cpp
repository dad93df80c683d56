// Publishing without a password dialog: pkexec and the package's helper stood in for by scripts
// that end as the real ones do, each ending mapped to words a teacher can act on; the real
// helper's refusals of anything but one tables folder; and the exported file read back.

#include "Publish.h"
#include "TablesFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

using namespace vaporica::editor;

namespace {

void writeScript(const QString &path, const QByteArray &body) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body + '\n');
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

// The shipped tables, saved as the editor saves them, with `edit` done to questions.tsv.
void saveTables(const QString &dir, const QByteArray &before = {}, const QByteArray &after = {}) {
    for (const QString &name : vaporica::material::tableNames()) {
        QFile shipped(QStringLiteral(VAPORICA_SOURCE_DIR "/material/") + name);
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
        QByteArray bytes = shipped.readAll();
        if (name == QLatin1String("questions.tsv") && !before.isEmpty()) {
            ASSERT_TRUE(bytes.contains(before));
            bytes.replace(before, after);
        }
        QFile saved(QDir(dir).filePath(name));
        ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
        saved.write(bytes);
    }
}

// A tables folder as a teacher keeps one, beside where its exported file would go.
struct SavedTables {
    explicit SavedTables(const QByteArray &before = {}, const QByteArray &after = {}) {
        QDir().mkpath(tables);
        saveTables(tables, before, after);
    }
    QTemporaryDir work;
    const QString tables = work.filePath(QStringLiteral("教材"));
    const QString exportFile = work.filePath(QStringLiteral("学校の問題.vaporica-tables"));
};

struct Ending {
    const char *name;
    QByteArray pkexec; // the stand-in's script; "exec \"$@\"" runs the helper
    QByteArray helper;
    bool ok;
    const char *said;
};

// The case's name where gtest (and ctest's list) would print its bytes.
void PrintTo(const Ending &ending, std::ostream *out) {
    *out << ending.name;
}

class PublishEnding : public testing::TestWithParam<Ending> {};

} // namespace

TEST_P(PublishEnding, IsToldInTheTeachersWords) {
    const SavedTables saved;
    PrivilegedRun how{saved.work.filePath(QStringLiteral("pkexec")),
                      saved.work.filePath(QStringLiteral("helper")), 5000};
    writeScript(how.pkexec, GetParam().pkexec);
    writeScript(how.helper, GetParam().helper);
    const PublishOutcome outcome = publishForEveryone(saved.tables, how);
    EXPECT_EQ(outcome.ok, GetParam().ok) << outcome.message.toStdString();
    EXPECT_TRUE(outcome.message.contains(QString::fromUtf8(GetParam().said)))
        << outcome.message.toStdString();
    EXPECT_TRUE(outcome.message.contains(saved.tables)) << outcome.message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Publish, PublishEnding,
    testing::Values(
        Ending{"Done", "exec \"$@\"",
               "test \"$1\" != \"${1#/}\" && test -d \"$1\" && exit 0; exit 9", true,
               "このコンピューターの全員の問題にしました"},
        Ending{"PasswordDialogDismissed",
               "echo 'Error executing command as another user: Request dismissed' >&2; exit 126",
               "exit 0", false, "管理者のパスワードが必要です。パスワードの入力が取り消された"},
        Ending{"NotAuthorised",
               "echo 'Error executing command as another user: Not authorized' >&2; exit 127",
               "exit 0", false, "管理者のパスワードが必要です。パスワードが確かめられなかった"},
        Ending{
            "TheToolsErrorPassedThrough", "exec \"$@\"",
            "echo 'エラー: 問題 3（questions.tsv 14 行目）: 反応式がつり合っていません' >&2; exit "
            "1",
            false,
            "前のままです。\nエラー: 問題 3（questions.tsv 14 行目）: 反応式がつり合っていません"},
        Ending{"TheHelpersRefusal", "exec \"$@\"",
               "echo 'vaporica-publish: x: フォルダーではありません' >&2; exit 2", false,
               "vaporica-publish: x: フォルダーではありません"},
        Ending{"Crashed", "kill -SEGV $$", "exit 0", false, "途中で止まりました"}),
    [](const testing::TestParamInfo<Ending> &info) { return std::string(info.param.name); });

TEST(Publish, WithoutPkexecOrHelperSaysWhoCanDoItInstead) {
    QTemporaryDir work;
    saveTables(work.path());
    const QString helper = work.filePath(QStringLiteral("helper"));
    writeScript(helper, "exit 0");
    PublishOutcome outcome = publishForEveryone(work.path(), {QString(), helper, 5000});
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("pkexec")));
    EXPECT_TRUE(outcome.message.contains(
        QStringLiteral("sudo vaporica-make-material --system %1").arg(work.path())));

    outcome = publishForEveryone(work.path(), {QStringLiteral("/no/such/pkexec"), helper, 5000});
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("/no/such/pkexec を起動できません")))
        << outcome.message.toStdString();

    outcome = publishForEveryone(work.path(), {QStringLiteral("/bin/true"), helper + 'x', 5000});
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.startsWith(helper + QStringLiteral("x がありません")))
        << outcome.message.toStdString();
}

// A password dialog left open, or a helper that hangs, does not hang the editor.
TEST(Publish, GivesUpAfterItsTimeAndSaysSo) {
    QTemporaryDir work;
    saveTables(work.path());
    const QString pkexec = work.filePath(QStringLiteral("pkexec"));
    writeScript(pkexec, "sleep 30");
    QElapsedTimer clock;
    clock.start();
    const PublishOutcome outcome = publishForEveryone(work.path(), {pkexec, pkexec, 300});
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("待つのをやめました")))
        << outcome.message.toStdString();
    // The process left behind is killed and deleted by the event loop once it has ended, as in
    // the editor, which goes on running: here the loop turns a while before the test ends.
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Tables the generator refuses are refused before any password is asked.
TEST(Publish, TablesWithAnErrorAreRefusedBeforeThePasswordAndNotExported) {
    const SavedTables saved("\n1\t酸素\t", "\n1\t酸素ガス\t");
    const QString asked = saved.work.filePath(QStringLiteral("asked"));
    const QString pkexec = saved.work.filePath(QStringLiteral("pkexec"));
    writeScript(pkexec, "touch '" + asked.toUtf8() + "'");
    const PublishOutcome published = publishForEveryone(saved.tables, {pkexec, pkexec, 5000});
    EXPECT_FALSE(published.ok);
    EXPECT_FALSE(QFile::exists(asked));
    const PublishOutcome exported = exportTables(saved.tables, saved.exportFile);
    EXPECT_FALSE(exported.ok);
    EXPECT_FALSE(QFile::exists(saved.exportFile));
    for (const PublishOutcome &outcome : {published, exported}) {
        EXPECT_TRUE(outcome.message.startsWith(saved.tables + QStringLiteral(": 表にエラーが")))
            << outcome.message.toStdString();
        EXPECT_TRUE(outcome.message.contains(QStringLiteral("問題 ")))
            << outcome.message.toStdString();
    }
    EXPECT_FALSE(
        publishForEveryone(saved.work.filePath(QStringLiteral("ない")), {pkexec, pkexec, 5000}).ok);
}

TEST(Export, WritesOneFileThatCarriesTheSavedTables) {
    const SavedTables saved("水に溶けにくい→水上置換\t", "水に溶けにくく軽い→水上置換\t");
    const PublishOutcome outcome = exportTables(saved.tables, saved.exportFile);
    ASSERT_TRUE(outcome.ok) << outcome.message.toStdString();
    EXPECT_TRUE(outcome.message.contains(saved.exportFile));
    EXPECT_TRUE(outcome.message.contains(
        QStringLiteral("sudo vaporica-make-material --system 学校の問題.vaporica-tables")));
    QTemporaryDir back;
    vaporica::material::unpackTablesFile(saved.exportFile, back.path());
    for (const QString &name : vaporica::material::tableNames()) {
        QFile a(QDir(saved.tables).filePath(name)), b(QDir(back.path()).filePath(name));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll()) << name.toStdString();
    }
}

// The helper runs as root: it takes one tables folder, named from the root, and nothing else.
TEST(PublishHelper, RefusesAnythingButOneFolder) {
    QTemporaryDir work;
    const QString file = work.filePath(QStringLiteral("questions.tsv"));
    QFile(file).open(QIODevice::WriteOnly);
    const QList<QStringList> refused = {{},
                                        {work.path(), work.path()},
                                        {QStringLiteral("教材")},
                                        {QStringLiteral("--reset")},
                                        {work.filePath(QStringLiteral("ない"))},
                                        {file}};
    for (const QStringList &arguments : refused) {
        QProcess helper;
        helper.start(QStringLiteral(VAPORICA_BUILT_HELPER), arguments);
        ASSERT_TRUE(helper.waitForFinished(10000));
        const QString said = QString::fromUtf8(helper.readAllStandardError());
        EXPECT_EQ(helper.exitCode(), 2) << said.toStdString();
        EXPECT_TRUE(said.startsWith(QStringLiteral("vaporica-publish: "))) << said.toStdString();
        if (arguments.size() == 1) {
            EXPECT_TRUE(said.contains(arguments[0])) << said.toStdString();
        }
    }
}

int main(int argc, char **argv) {
    // The checks of the tables measure text; no display is needed for that.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
