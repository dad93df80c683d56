// The teaching material: every equation of the question table balanced, and check-material
// accepting the built data directory and naming each fault in a damaged copy.

#include "Formula.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace vaporica::material;

namespace {

QStringList imbalanceOf(const QString &equation) {
    return imbalance(parseEquation(equation));
}

struct BalanceCase {
    const char *equation;
    const char *differences; // empty when balanced
};

class EquationBalance : public ::testing::TestWithParam<BalanceCase> {};

TEST_P(EquationBalance, CountsAtomsPerElementOnBothSides) {
    const BalanceCase c = GetParam();
    EXPECT_EQ(imbalanceOf(QString::fromUtf8(c.equation)).join(QStringLiteral("; ")),
              QString::fromUtf8(c.differences))
        << c.equation;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EquationBalance,
    ::testing::Values(
        BalanceCase{"CaCl(ClO)·H2O + 2HCl → CaCl2 + 2H2O + Cl2", ""},
        BalanceCase{"3Cu + 8HNO3 → 3Cu(NO3)2 + 4H2O + 2NO", ""},
        BalanceCase{"CuSO4·5H2O → CuSO4 + 5H2O", ""},
        BalanceCase{"2KClO3 → 2KCl + 2O2", "O: 左 6, 右 4"},
        // the coefficient applies to the whole bracket, and the hydrate water counts too
        BalanceCase{"3Cu + 8HNO3 → 3CuNO32 + 4H2O + 2NO", "N: 左 8, 右 5; O: 左 24, 右 102"},
        BalanceCase{"CaCl(ClO)·2H2O + 2HCl → CaCl2 + 2H2O + Cl2", "H: 左 6, 右 4; O: 左 3, 右 2"}));

TEST(EquationParser, RejectsWhatIsNoEquation) {
    for (const char *text : {"KClO3 = KCl + O2", "Ca(OH2 → CaO + H2O", "2KClO3 → 2KCl + 3o2",
                             "H2 + → H2", "H2 → H2 → H2"})
        EXPECT_THROW(parseEquation(QString::fromUtf8(text)), FormulaError) << text;
}

TEST(QuestionTable, EveryEquationIsBalanced) {
    QFile file(QStringLiteral(VAPORICA_SOURCE_DIR "/material/questions.tsv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList header;
    int equations = 0;
    int line = 0;
    for (const QString &text : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        ++line;
        if (text.trimmed().isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const QStringList cells = text.split(QLatin1Char('\t'));
        if (header.isEmpty()) {
            header = cells;
            ASSERT_TRUE(header.contains(QStringLiteral("反応式")));
            continue;
        }
        const QString equation = cells.value(header.indexOf(QStringLiteral("反応式")));
        ++equations;
        EXPECT_EQ(imbalanceOf(equation), QStringList())
            << "questions.tsv line " << line << ": " << equation.toStdString();
    }
    EXPECT_EQ(equations, 20);
}

// --- check-material -------------------------------------------------------------------------

struct CheckRun {
    int status = -1;
    QString output;
};

CheckRun runChecker(const QString &dir) {
    QProcess process;
    process.start(QStringLiteral(VAPORICA_BUILD_DIR "/tools/check-material"), {dir});
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())};
}

const QStringList DataFolders = {QStringLiteral("説明"), QStringLiteral("気体"),
                                 QStringLiteral("薬品"), QStringLiteral("反応式"),
                                 QStringLiteral("装置"), QStringLiteral("性質"),
                                 QStringLiteral("音")};

// A copy of the built data directory that a case may damage.
class DataCopy {
public:
    DataCopy() {
        const QDir built(QStringLiteral(VAPORICA_BUILD_DIR));
        for (const QString &folder : DataFolders) {
            QDir().mkpath(path(folder));
            QDirIterator it(built.filePath(folder), QDir::Files);
            while (it.hasNext()) {
                it.next();
                QFile::copy(it.filePath(), path(folder + QLatin1Char('/') + it.fileName()));
            }
        }
    }
    QString root() const { return dir_.path(); }
    QString path(const QString &relative) const { return dir_.filePath(relative); }
    QByteArray read(const QString &relative) const {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString &relative, const QByteArray &bytes) const {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    void remove(const QString &relative) const { ASSERT_TRUE(QFile::remove(path(relative))); }
    // Replaces one line (1-based) of a text file.
    void replaceLine(const QString &relative, int line, const QByteArray &text) const {
        QList<QByteArray> lines = read(relative).split('\n');
        lines[line - 1] = text;
        write(relative, lines.join('\n'));
    }

private:
    QTemporaryDir dir_;
};

TEST(CheckMaterial, PassesOnTheBuiltDirectory) {
    const CheckRun run = runChecker(QStringLiteral(VAPORICA_BUILD_DIR));
    EXPECT_EQ(run.status, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QStringLiteral("完全です"))) << run.output.toStdString();
}

struct FaultCase {
    const char *name;
    std::function<void(const DataCopy &)> damage;
    const char *expected; // what the report must say
};

class CheckMaterialFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CheckMaterialFault, FailsAndNamesTheProblem) {
    const FaultCase &c = GetParam();
    DataCopy copy;
    c.damage(copy);
    const CheckRun run = runChecker(copy.root());
    EXPECT_EQ(run.status, 1) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QString::fromUtf8(c.expected))) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(QStringLiteral("不完全です"))) << run.output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CheckMaterialFault,
    ::testing::Values(
        FaultCase{"MissingPicture",
                  [](const DataCopy &d) { d.remove(QStringLiteral("薬品/yaku1(5).gif")); },
                  "薬品/yaku1(5).gif: ファイルがありません"},
        FaultCase{"TruncatedQuestionFile",
                  [](const DataCopy &d) {
                      const QByteArray all = d.read(QStringLiteral("説明/mondai.txt"));
                      d.write(QStringLiteral("説明/mondai.txt"),
                              all.split('\n').mid(0, 10).join('\n'));
                  },
                  "説明/mondai.txt: 値が 60 個しかありません。120 個必要です"},
        FaultCase{"ReagentNumber25",
                  [](const DataCopy &d) {
                      d.replaceLine(QStringLiteral("説明/mondai.txt"), 4, "2,1,25,1,3,1");
                  },
                  "説明/mondai.txt:4: 21 番目の値（問題 4 の薬品2）が 25 です"},
        FaultCase{"EmptyField",
                  [](const DataCopy &d) {
                      d.replaceLine(QStringLiteral("説明/mondai.txt"), 2, "1,,19,1,3,1");
                  },
                  "説明/mondai.txt:2: 8 番目の値（問題 2 の薬品1）が空です"},
        FaultCase{"CorruptGif",
                  [](const DataCopy &d) {
                      QByteArray gif = d.read(QStringLiteral("反応式/siki(12).gif"));
                      d.write(QStringLiteral("反応式/siki(12).gif"), gif.left(gif.size() / 2));
                  },
                  "反応式/siki(12).gif: GIF が壊れています"},
        FaultCase{"MissingSound", [](const DataCopy &d) { d.remove(QStringLiteral("音/o.wav")); },
                  "音/o.wav: ファイルがありません"},
        FaultCase{
            "ApparatusPictureThatIsNotThere",
            [](const DataCopy &d) { d.replaceLine(QStringLiteral("説明/taiou.txt"), 5, "99"); },
            "装置/souti(99).gif: ファイルがありません"}),
    [](const ::testing::TestParamInfo<FaultCase> &info) { return std::string(info.param.name); });

} // namespace
