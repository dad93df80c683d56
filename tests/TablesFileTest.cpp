// The one file that carries a school's tables to every PC of a lab: what goes in comes out byte
// for byte and makes the same data as its folder, and a file damaged on the way is refused whole,
// naming the file and what is wrong, with nothing written.

#include "TablesFile.h"
#include "MaterialSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace vaporica::material;
using vaporica::test::copyTables;
using vaporica::test::dataFolders;
using vaporica::test::runGenerator;
using vaporica::test::ToolRun;

namespace {

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The shipped tables with question 3 changed, as a teacher's would be, written into one file.
struct ExportedTables {
    ExportedTables() {
        copyTables(tables.path(), {{"questions.tsv", QStringLiteral("水に溶けにくい→水上置換\t"),
                                    QStringLiteral("水に溶けにくく軽い→水上置換\t")}});
        writeTablesFile(tables.path(), file);
    }
    QTemporaryDir tables, work;
    const QString file = work.filePath(QStringLiteral("学校の問題.vaporica-tables"));
};

} // namespace

TEST(TablesFile, CarriesEveryTableByteForByte) {
    ExportedTables exported;
    QTemporaryDir into;
    unpackTablesFile(exported.file, into.path());
    for (const QString &name : tableNames())
        EXPECT_EQ(readFile(into.filePath(name)), readFile(exported.tables.filePath(name)))
            << name.toStdString();
    EXPECT_EQ(QDir(into.path()).entryList(QDir::Files).size(), 3);
}

TEST(TablesFile, WritingWhereNoFileCanBeLeavesNothingAndNamesThePlace) {
    ExportedTables exported;
    const QString nowhere =
        exported.work.filePath(QStringLiteral("ない/学校の問題.vaporica-tables"));
    try {
        writeTablesFile(exported.tables.path(), nowhere);
        FAIL() << "written into a folder that does not exist";
    } catch (const std::runtime_error &e) {
        EXPECT_TRUE(
            QString::fromStdString(e.what()).startsWith(nowhere + QStringLiteral(": 書けません")))
            << e.what();
    }
    QFile::remove(exported.tables.filePath(QStringLiteral("gases.tsv")));
    try {
        writeTablesFile(exported.tables.path(), exported.file + QStringLiteral(".2"));
        FAIL() << "written without gases.tsv";
    } catch (const std::runtime_error &e) {
        EXPECT_TRUE(
            QString::fromStdString(e.what()).contains(QStringLiteral("gases.tsv: 読み込めません")))
            << e.what();
    }
    EXPECT_FALSE(QFile::exists(exported.file + QStringLiteral(".2")));
}

// The generator takes the file where it takes a folder: the data is the folder's, file for file.
TEST(MakeMaterial, MakesFromATablesFileWhatItsFolderMakes) {
    ExportedTables exported;
    QTemporaryDir out;
    const ToolRun fromFolder =
        runGenerator(exported.tables.path(), out.filePath(QStringLiteral("folder")));
    const ToolRun fromFile = runGenerator(exported.file, out.filePath(QStringLiteral("file")));
    ASSERT_EQ(fromFolder.status, 0) << fromFolder.report.toStdString();
    ASSERT_EQ(fromFile.status, 0) << fromFile.report.toStdString();
    for (const QString &folder : dataFolders()) {
        const QDir made(out.filePath(QStringLiteral("folder/") + folder));
        for (const QString &name : made.entryList(QDir::Files))
            EXPECT_EQ(readFile(made.filePath(name)),
                      readFile(out.filePath(QStringLiteral("file/%1/%2").arg(folder, name))))
                << (folder + '/' + name).toStdString();
    }
    EXPECT_TRUE(readFile(out.filePath(QStringLiteral("file/説明/mondai.txt"))).size() > 0);
}

struct DamagedFile {
    const char *name;
    std::function<QByteArray(const QByteArray &)> damage;
    const char *said; // in the refusal, after the file's name
};

// The name, not a dump of the case's bytes, in the runner's listing.
void PrintTo(const DamagedFile &d, std::ostream *os) {
    *os << d.name;
}

class TablesFileRefuses : public testing::TestWithParam<DamagedFile> {};

TEST_P(TablesFileRefuses, NamingTheFileAndWhatIsWrongAndWritingNothing) {
    ExportedTables exported;
    const QByteArray good = readFile(exported.file);
    writeFile(exported.file, GetParam().damage(good));
    QTemporaryDir into;
    try {
        unpackTablesFile(exported.file, into.path());
        FAIL() << "accepted";
    } catch (const std::runtime_error &e) {
        const QString message = QString::fromStdString(e.what());
        EXPECT_TRUE(message.startsWith(exported.file + QStringLiteral(": "))) << e.what();
        EXPECT_TRUE(message.contains(QString::fromUtf8(GetParam().said))) << e.what();
    }
    EXPECT_TRUE(QDir(into.path()).isEmpty());
}

namespace {

// Where a table's entry starts: its header line (a table's own text may name another table).
qsizetype entry(const QByteArray &bytes, const char *table) {
    return bytes.indexOf('\n' + QByteArray(table) + ' ') + 1;
}

qsizetype after(const QByteArray &bytes, const char *table) {
    return entry(bytes, table) + qstrlen(table) + 1;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Damaged, TablesFileRefuses,
    testing::Values(
        DamagedFile{"Empty", [](const QByteArray &) { return QByteArray(); },
                    "ヴァポリカの表のファイルではありません"},
        DamagedFile{"ATableItself",
                    [](const QByteArray &) {
                        return readFile(
                            QStringLiteral(VAPORICA_SOURCE_DIR "/material/questions.tsv"));
                    },
                    "ヴァポリカの表のファイルではありません"},
        DamagedFile{
            "OfALaterVersion",
            [](QByteArray b) { return b.replace("vaporica-tables 1\n", "vaporica-tables 2\n"); },
            "新しい版のヴァポリカで書き出されたファイルです（形式 2）"},
        DamagedFile{"CutInAQuestion",
                    [](const QByteArray &b) { return b.left(after(b, "questions.tsv") + 4000); },
                    "途中で切れています（questions.tsv の途中まで）"},
        DamagedFile{"CutBeforeItsEnd",
                    [](const QByteArray &b) { return b.left(b.lastIndexOf("end\n")); },
                    "途中で切れています（reagents.tsv のあと）"},
        DamagedFile{"OneLetterChanged",
                    [](QByteArray b) {
                        const qsizetype at = b.indexOf("酸素", after(b, "gases.tsv"));
                        return b.replace(at, qstrlen("酸素"), "水素");
                    },
                    "壊れています（gases.tsv の中身が、書き出したときと違います）"},
        DamagedFile{"ALineLost",
                    [](QByteArray b) {
                        const qsizetype line = b.indexOf('\n', after(b, "questions.tsv") + 2000);
                        return b.remove(line, b.indexOf('\n', line + 1) - line);
                    },
                    "questions.tsv の大きさが、書き出したときと違います"},
        DamagedFile{"ATableLeftOut",
                    [](const QByteArray &b) { return b.left(entry(b, "reagents.tsv")) + "end\n"; },
                    "reagents.tsv が入っていません"},
        DamagedFile{"ATableTwice",
                    [](const QByteArray &b) {
                        const qsizetype from = entry(b, "gases.tsv"), to = entry(b, "reagents.tsv");
                        return b.left(to) + b.mid(from, to - from) + b.mid(to);
                    },
                    "gases.tsv が二つあります"},
        DamagedFile{"SomethingAfterTheEnd", [](const QByteArray &b) { return b + "x\n"; },
                    "終わりの印のあとに、余計なデータがあります"}),
    [](const testing::TestParamInfo<DamagedFile> &info) { return std::string(info.param.name); });

TEST(MakeMaterial, RefusesADamagedTablesFileAndWritesNothing) {
    ExportedTables exported;
    const QByteArray good = readFile(exported.file);
    writeFile(exported.file, good.left(good.size() / 2));
    QTemporaryDir out;
    const ToolRun run = runGenerator(exported.file, out.filePath(QStringLiteral("data")));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.report.contains(exported.file + QStringLiteral(": 途中で切れています")))
        << run.report.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out.filePath(QStringLiteral("data"))));
}
